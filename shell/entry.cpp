#include "shell/entry.h"

#include "core/game_state.h"
#include "editor/session.h"
#include "shell/edit.h"
#include "shell/flow.h"
#include "shell/program_state.h"
#include "shell/startup.h"

void main_window_proc(platform::Message message) {
    if (message == platform::Message::close) platform::post_quit();
}

void drain_messages() {
    platform::Message message;
    while (platform::message_take(message)) {
        if (message == platform::Message::quit) quit_requested = true;
        main_window_proc(message);
    }
}

int open_game() {
    if (!init_program_state()) return 1;
    // Created hidden at 640x480; the graphics set-up places, sizes and shows it. The window carries
    // the game's name, which players and their desktops look for; nothing in the game reads it.
    if (!platform::window_create("brickrun", 100, 100, 640, 480)) {
        platform::report_fatal("brickrun: cannot open the game window: " + platform::last_error());
        return 1;
    }
    if (!startup()) {
        platform::report_fatal("brickrun: cannot start the graphics: " + platform::last_error());
        return 1;
    }
    return 0;
}

int close_game() {
    editor::close_session(false);
    shutdown();
    if (level_load_error.empty()) return 0;
    platform::report_fatal("brickrun: cannot load the level: " + level_load_error);
    return 1;
}

int win_main() {
    if (int status = open_game()) return status;
    while (game_step()) {
    }
    return close_game();
}

int edit_main(const std::string& path) {
    if (int status = open_game()) return status;
    std::string error;
    if (!begin_editing(path, error)) {
        platform::report_fatal("brickrun: " + path + ": " + error);
        shutdown();
        return 1;
    }
    while (game_step()) {
    }
    return close_game();
}
