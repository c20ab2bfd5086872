#include "shell/banner.h"

#include "platform/platform.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/game_state.h"
#include "shell/pictures.h"

namespace {
constexpr uint32_t banner_ms = 3300;
constexpr uint32_t white = 0xFFFFFFFF;
}  // namespace

void show_level_banner() {
    // Timed by the clock, not by presents: the banner lasts 3.3 s however fast frames go.
    auto end_time = static_cast<int32_t>(platform::time_ms() + banner_ms);
    platform::play_music(platform::Music::none);
    platform::play_sound(game_state.lives < 0 ? platform::Sound::game_over
                                              : platform::Sound::level_start);
    while (end_time > static_cast<int32_t>(platform::time_ms())) {
        current_screen = game_state.lives < 0 ? Screen::game_over : Screen::banner;
        present_frame();
        if (quit_requested) return;  // the window was closed: its caller ends the game
        fill_rect(0, 0, screen_width, screen_height, 0xFF000000);
        if (game_state.lives < 0) {
            draw_text(350, 275, "Game Over", game_font, white);
            draw_text(340, 295, "SCORE:", game_font, white);
            draw_number(400, 295, game_state.score, game_font, white);
            game_state.in_game = false;
            game_state.level_index = 0;
        } else {
            keyboard_poll();
            draw_sprite_opaque(370, 300, small_stand_sprite);
            draw_text(405, 317, "x", game_font, white);
            draw_number(415, 317, game_state.lives, game_font, white);
            draw_text(360, 200, "Level ", game_font, white);
            draw_number(400, 200, game_state.level_index + 1, game_font, white);
        }
    }
}
