// brickrun in a browser page: the same game, stepped once per display refresh by the browser.
//
// The page (platform/web/page.js) loads the data, then asks for a click or a key (browsers keep
// sound off until then) and calls brickrun_start. Each refresh then runs one step of the game once
// the game's clock allows it. When the game ends ("Exit Game", Escape) the page asks again and a
// new game starts from the title menu; a page is never left dead.
#include "core/game_state.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/web/web.h"
#include "shell/entry.h"
#include "shell/flow.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

bool asked = false;    // the page asked for a game
bool running = false;  // the game is open

EM_JS(void, game_ended, (int status), {
    if (window.brickrun && window.brickrun.ended) window.brickrun.ended(status);
});

void end_game() {
    running = false;
    asked = false;
    game_ended(close_game());
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
    }
    platform::web::feed_sound();
    if (!platform::web::caught_up()) return;
    if (!game_step()) end_game();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void brickrun_start() { asked = true; }

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

// For tests: what the last picture shows (menu 0, banner 1, game over 2, game 3).
EMSCRIPTEN_KEEPALIVE int brickrun_screen() { return static_cast<int>(current_screen); }

}  // extern "C"

int main() {
    emscripten_set_main_loop(refresh, 0, 0);
    return 0;
}
