// brickrun in a browser page: the same game, stepped once per display refresh by the browser.
//
// The page (platform/web/page.js) loads the data, then asks for a click or a key (browsers keep
// sound off until then) and calls brickrun_start. Each refresh then runs one step of the game once
// the game's clock allows it. When the game ends ("Exit Game", Escape) the page asks again and a
// new game starts from the title menu; a page is never left dead. A page may instead start the
// level editor (brickrun_edit) or, once, a level a link carries straight into play (brickrun_play).
#include "core/game_state.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/web/web.h"
#include "shell/edit.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "shell/menu.h"
#include "shell/web_page_levels.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

// What a game the page asks for opens with.
enum class Start { menu, play, edit };

bool asked = false;    // the page asked for a game
bool running = false;  // the game is open
Start start = Start::menu;
std::string edit_path;  // the level the editor opens

EM_JS(void, game_ended, (int status), {
    if (window.brickrun && window.brickrun.ended) window.brickrun.ended(status);
});

EM_JS(void, tell_the_page, (const char* line), {
    if (window.brickrun && window.brickrun.say) window.brickrun.say(UTF8ToString(line));
});

void end_game() {
    running = false;
    asked = false;
    const int status = close_game();
    platform::web::set_editing(false);
    game_ended(status);
}

// The game is open: what the page asked it to start with, instead of the title menu.
bool begin() {
    if (start == Start::play) {
        begin_game_at_once();
        start = Start::menu;  // the games after it begin at the title menu, as after any game
    } else if (start == Start::edit) {
        std::string error;
        if (!begin_editing(edit_path, error)) {
            platform::report_fatal("brickrun: " + error);
            return false;
        }
    }
    return true;
}

void refresh() {
    if (!asked || platform::web::hidden()) return;
    if (!running) {
        if (open_game() != 0) {
            asked = false;
            game_ended(1);
            return;
        }
        running = true;
        if (!begin()) {
            end_game();
            return;
        }
    }
    platform::web::feed_sound();
    if (!platform::web::caught_up()) return;
    const bool more = game_step();
    after_page_step();
    if (!more) end_game();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void brickrun_start() { asked = true; }

// Starts the run's first level at once, past the title menu (once: the next game has the menu).
EMSCRIPTEN_KEEPALIVE void brickrun_play() {
    start = Start::play;
    asked = true;
}

// The level editor on the level at `path` (a new level when there is none): at once in place of
// the open level while the editor runs, else as the game the page asks for now. False, after one
// line on the page, when the level cannot be read; the open level stays.
EMSCRIPTEN_KEEPALIVE int brickrun_edit(const char* path) {
    if (running && start == Start::edit) {
        std::string error;
        if (!switch_editor_level(path, error)) {
            tell_the_page(error.c_str());
            return 0;
        }
    } else {
        asked = true;
    }
    start = Start::edit;
    edit_path = path;
    return 1;
}

// For tests: everything the game reads from now on is written to path, as --record does; false
// (with the reason on the console) when it cannot be.
EMSCRIPTEN_KEEPALIVE int brickrun_record(const char* path) {
    std::string error;
    if (platform::replay::record_to(path, error)) return 1;
    platform::report_fatal(std::string("brickrun: ") + path + ": " + error);
    return 0;
}

// Ends the recording there, as a run cut off.
EMSCRIPTEN_KEEPALIVE int brickrun_stop_recording() {
    std::string error;
    return platform::replay::finish_recording(false, error) ? 1 : 0;
}

// For tests: what the last picture shows (menu 0, banner 1, game over 2, game 3, editor 4).
EMSCRIPTEN_KEEPALIVE int brickrun_screen() { return static_cast<int>(current_screen); }

}  // extern "C"

int main() {
    emscripten_set_main_loop(refresh, 0, 0);
    return 0;
}
