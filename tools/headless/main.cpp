// brickrun-headless: runs the game without a window. See the README for the command line.
#include "shell/entry.h"
#include "tools/headless/runner.h"

#include <cstdio>

const bool build_windowed = true;

int main(int argc, char** argv) {
    RunOptions options;
    std::string error;
    if (!parse_run_options(argc, argv, options, error)) {
        std::fprintf(stderr, "brickrun-headless: %s\n", error.c_str());
        return 2;
    }
    return run_headless(options);
}
