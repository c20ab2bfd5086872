#include "shell/menu.h"

#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"
#include "shell/banner.h"

namespace {

constexpr uint32_t white = 0xFFFFFFFF;
constexpr uint32_t black = 0xFF000000;

void draw_title_menu() {
    fill_rect(0, 0, screen_width, screen_height, black);
    draw_sprite_opaque(0, 0, title_sprite);
    draw_text(350, 350, "Start Game", game_font, white);
    draw_text(350, 400, "Exit Game", game_font, white);
    draw_text(340, 350 + 50 * flow.menu_choice, ">", game_font, white);
}

}  // namespace

Outcome show_title_menu() {
    game_state.score = 0;
    player.power = 0;  // every game starts with the small hero
    current_screen = Screen::menu;
    platform::play_music(platform::Music::title);
    show_picture();
    flow.phase = Phase::menu_keys;
    return Outcome::presented;
}

Outcome run_title_menu() {
    if (quit_requested) return Outcome::end;
    keyboard_poll();
    if (drawing()) draw_title_menu();
    if (key_pressed(DIK_UP) || key_pressed(DIK_DOWN)) {
        flow.menu_choice = 1 - flow.menu_choice;
        platform::play_sound(platform::Sound::menu_move);
    }
    // Held, not newly pressed: a key still down after the game-over screen starts at once.
    if (key_held(DIK_SPACE) || key_held(DIK_RETURN)) {
        platform::play_sound(platform::Sound::menu_choose);
        if (flow.menu_choice == 1) return Outcome::end;
        begin_game();
        return Outcome::go_on;
    }
    if (key_held(DIK_ESCAPE)) return Outcome::end;
    flow.phase = Phase::menu;
    return Outcome::go_on;
}

void begin_game() {
    game_state.lives = 3;
    start_level_banner(Phase::game_begins);
}

void begin_game_at_once() {
    game_state.score = 0;
    player.power = 0;
    begin_game();
}

Outcome enter_game() {
    if (quit_requested) return Outcome::end;
    game_state.in_game = true;
    // The keys of the banner's last pass: Escape held through it quits before the first frame.
    if (key_held(DIK_ESCAPE)) return Outcome::end;
    flow.phase = Phase::restart;
    return Outcome::go_on;
}
