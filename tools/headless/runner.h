// The headless runner: the unchanged game on the headless backend, driven by a script, with
// screenshots and a per-present trace of the game state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RunOptions {
    std::string data_dir = ".";
    std::string input_file;  // empty: no key or button is ever down
    int presents = 3000;     // stop after this present
    bool presents_given = false;  // a replay runs to the end of its recording unless told
    struct Shot {
        int present;
        std::string file;
    };
    std::vector<Shot> shots;
    std::string trace_file;  // empty: no trace
    std::string record_file;  // empty: nothing recorded
    std::string replay_file;  // empty: input from the script
    bool monkey = false;      // random input, with the invariants checked after every present
    uint64_t monkey_seed = 0;
    std::string guide_file;   // a script the monkey follows now and then from the menu
    std::string audio_file;   // empty: no sound is mixed
    bool pictures = true;     // false: the rules run without drawing a pixel (--no-pictures)
    bool levels = false;      // a pack of levels instead of the built-in three (--levels)
    std::string levels_dir;   // its folder ("" when the player's own folder is not known)
    std::string edit_file;    // non-empty: the level editor on this level instead of the menu
};

// Reads the command line. False with a message in error for bad arguments.
bool parse_run_options(int argc, char** argv, RunOptions& options, std::string& error);

// Runs the game; returns the exit status (0 when the run reached its end, 1 when the game could
// not start, 2 for an unreadable script, output or recording, or a replay out of step with the
// game, 3 when the monkey found an invariant broken), after one line on stderr for a failure.
int run_headless(const RunOptions& options);
