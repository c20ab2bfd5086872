// Resident memory over 1,000 level loads in one process, through the frame loop's own requests:
// three restarts of a lost life, then a pipe to the next level, round and round (the third pipe
// leads through the game-over screen back to the first level). Between loads the hero runs and
// jumps for a few frames, so blocks are bumped and enemies meet. Prints the resident memory after
// the first 10 loads and after all of them; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_memory [loads]
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/flow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>


namespace {

namespace headless = platform::headless;

// Resident memory in kilobytes.
long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int loads = argc > 1 ? std::max(20, std::atoi(argv[1])) : 1000;
    headless::reset();
    if (open_game() != 0) return 1;
    headless::set_present_ms(3300);  // each banner passes in one present
    headless::set_key(DIK_RETURN, true);
    play_frame();  // the menu, the banner and the first game frame
    headless::set_key(DIK_RETURN, false);

    long after_10 = 0;
    int changes = 0;
    for (int i = 1; i <= loads; ++i) {
        game_state.lives = 3;  // never the game-over screen but after the third pipe
        if (i % 4 == 0) {
            game_state.next_level = true;
            ++changes;
        } else {
            game_state.restart_level = true;
        }
        game_state.in_game = true;  // the game-over screen sent the game to the menu
        for (int f = 0; f < 8; ++f) {
            headless::set_key(DIK_RIGHT, true);
            headless::set_key(DIK_SPACE, f % 4 < 2);
            if (!play_frame()) {
                std::fprintf(stderr, "bench_memory: the game ended at load %d\n", i);
                return 1;
            }
        }
        if (i == 10) after_10 = resident_kb();
    }
    const long after_all = resident_kb();
    std::printf("level loads: %d (%d through a pipe); resident memory after 10: %ld kB, after %d: "
                "%ld kB, growth %+ld kB\n",
                loads, changes, after_10, loads, after_all, after_all - after_10);
    close_game();
    return 0;
}
