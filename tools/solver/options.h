// brickrun-solve's command line: which levels to prove and where the scripts go.
#pragma once

#include <string>

struct SolveOptions {
    std::string data = ".";
    std::string out;         // the folder of the scripts, or with --level the one script's file
    int levels = 1;          // the built-in levels to clear, from the first (--levels N)
    bool pack = false;       // --levels DIR: the pack in pack_dir instead
    std::string pack_dir;
    std::string level_file;  // --level FILE: a pack of this one level, proved into the file out
    std::string path;        // --path FILE: with --level, the hero's positions along the clear
    int segment_frames = 4;  // frames each choice of keys is held for
    int beam_width = 8;
};

extern const char* const solve_help;

// The command line, or false after one line saying what is wrong with it (status 2). Checks, before
// any search, that the scripts can be written where they are to go.
bool read_solve_options(int argc, char** argv, SolveOptions& options);
