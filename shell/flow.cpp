#include "shell/flow.h"

#include "core/game_state.h"
#include "play/level.h"
#include "platform/platform.h"
#include "render/graphics.h"
#include "shell/banner.h"
#include "shell/edit.h"
#include "shell/entry.h"
#include "shell/frame.h"
#include "shell/menu.h"

Flow flow;
std::string level_load_error;

namespace {

// The level changes a frame begins with, requested by the hero in the frame before: a restart
// after a lost life, then the next level after a pipe. Each load ends in the banner.
Outcome restart_level() {
    if (!game_state.restart_level) {
        flow.phase = Phase::next_level;
        return Outcome::go_on;
    }
    if (!reload_level(level_load_error)) return Outcome::end;
    start_level_banner(Phase::restarted);
    return Outcome::go_on;
}

Outcome next_level() {
    if (!game_state.next_level) {
        flow.phase = Phase::frame;
        return Outcome::go_on;
    }
    if (!load_next_level(level_load_error)) return Outcome::end;
    start_level_banner(Phase::next_level_shown);
    return Outcome::go_on;
}

// The top of the main loop: a quit ends it; otherwise the window's messages, and a turn of the
// loop: the title menu while no game runs, else the level changes and a game frame.
Outcome turn() {
    if (quit_requested) return Outcome::end;
    drain_messages();
    if (flow.test_play && (game_state.restart_level || game_state.next_level)) return end_test_play();
    if (game_state.in_game) {
        flow.phase = Phase::restart;
    } else {
        flow.menu_choice = 0;
        flow.phase = Phase::menu;
    }
    return Outcome::go_on;
}

Outcome run_phase() {
    switch (flow.phase) {
        case Phase::turn: return turn();
        case Phase::menu: return show_title_menu();
        case Phase::menu_keys: return run_title_menu();
        case Phase::game_begins: return enter_game();
        case Phase::banner: return show_level_banner();
        case Phase::banner_shown: return draw_level_banner();
        case Phase::restart: return restart_level();
        case Phase::next_level: return next_level();
        case Phase::restarted:
            game_state.restart_level = false;
            flow.phase = Phase::next_level;
            return Outcome::go_on;
        case Phase::next_level_shown:
            game_state.next_level = false;
            flow.phase = Phase::frame;
            return Outcome::go_on;
        case Phase::frame: return run_frame();
        case Phase::frame_shown: return finish_frame();
        case Phase::editor: return run_editor();
        case Phase::ended: return Outcome::end;
    }
    return Outcome::end;
}

}  // namespace

void show_picture() {
    present_frame();
    drain_messages();
}

bool game_step() {
    for (;;) {
        switch (run_phase()) {
            case Outcome::go_on: break;
            case Outcome::presented: return true;
            case Outcome::end: flow.phase = Phase::ended; return false;
        }
    }
}

bool finish_step() {
    const Phase left = flow.phase;
    if (left != Phase::menu_keys && left != Phase::banner_shown && left != Phase::frame_shown)
        return left != Phase::ended;
    if (run_phase() == Outcome::end) flow.phase = Phase::ended;
    return flow.phase != Phase::ended;
}

bool play_frame() {
    do {
        if (!game_step() || !finish_step()) return false;
    } while (current_screen != Screen::game);
    return true;
}

void set_drawing(bool on) { platform::device_draws(on); }
bool drawing() { return platform::device_drawing(); }
