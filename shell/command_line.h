// --help and --version, answered the same way by every program of the game.
#pragma once

#include <cstdio>
#include <cstring>

#ifndef BRICKRUN_VERSION
#error "BRICKRUN_VERSION must name the version (CMake's project version)"
#endif

// When the command line asks for --help (or -h) or --version anywhere, prints the help text (usage
// first, every option after it) or the name and version to stdout and returns true: the program
// then ends with status 0.
inline bool answer_help_or_version(int argc, char** argv, const char* name, const char* help) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(help, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", name, BRICKRUN_VERSION);
            return true;
        }
    }
    return false;
}
