#include "shell/banner.h"

#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"

namespace {

constexpr uint32_t banner_ms = 3300;
constexpr uint32_t white = 0xFFFFFFFF;

void draw_banner() {
    fill_rect(0, 0, screen_width, screen_height, 0xFF000000);
    if (game_state.lives < 0) {
        draw_text(350, 275, "Game Over", game_font, white);
        draw_text(340, 295, "SCORE:", game_font, white);
        draw_number(400, 295, game_state.score, game_font, white);
    } else {
        draw_sprite_opaque(370, 300, small_stand_sprite);
        draw_text(405, 317, "x", game_font, white);
        draw_number(415, 317, game_state.lives, game_font, white);
        draw_text(360, 200, "Level ", game_font, white);
        draw_number(400, 200, game_state.level_index + 1, game_font, white);
    }
}

}  // namespace

void start_level_banner(Phase after) {
    // Timed by the clock, not by presents: the banner lasts 3.3 s however fast frames go.
    flow.banner_end = static_cast<int32_t>(platform::time_ms() + banner_ms);
    platform::play_music(platform::Music::none);
    platform::play_sound(game_state.lives < 0 ? platform::Sound::game_over
                                              : platform::Sound::level_start);
    flow.after_banner = after;
    flow.phase = Phase::banner;
}

Outcome show_level_banner() {
    if (flow.banner_end <= static_cast<int32_t>(platform::time_ms())) {
        flow.phase = flow.after_banner;
        return Outcome::go_on;
    }
    current_screen = game_state.lives < 0 ? Screen::game_over : Screen::banner;
    show_picture();
    flow.phase = Phase::banner_shown;
    return Outcome::presented;
}

Outcome draw_level_banner() {
    // A close request cuts the banner short; what follows it then ends the game.
    if (quit_requested) {
        flow.phase = flow.after_banner;
        return Outcome::go_on;
    }
    if (game_state.lives < 0) {
        game_state.in_game = false;
        game_state.level_index = 0;
    } else {
        keyboard_poll();
    }
    if (drawing()) draw_banner();
    flow.phase = Phase::banner;
    return Outcome::go_on;
}
