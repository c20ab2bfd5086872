// The programs brickrun and brickrun-fs: the same game, built windowed or full screen.
#include "platform/replay.h"
#include "shell/entry.h"

#include <cstdio>
#include <string>

#ifndef BUILD_WINDOWED
#error "BUILD_WINDOWED must be 1 (windowed) or 0 (full screen)"
#endif

const bool build_windowed = BUILD_WINDOWED;

// The only option, `--record FILE`, is taken here: the game itself reads no command line.
int main(int argc, char** argv) {
    std::string record;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg != "--record") {
            std::fprintf(stderr, "brickrun: unknown option %s (usage: brickrun [--record FILE])\n",
                         arg.c_str());
            return 2;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "brickrun: --record needs a file name\n");
            return 2;
        }
        record = argv[++i];
    }
    std::string error;
    if (!record.empty() && !platform::replay::record_to(record, error)) {
        std::fprintf(stderr, "brickrun: %s: %s\n", record.c_str(), error.c_str());
        return 2;
    }
    int status = win_main();
    if (!platform::replay::finish_recording(true, error)) {
        std::fprintf(stderr, "brickrun: %s: %s\n", record.c_str(), error.c_str());
        if (status == 0) status = 2;
    }
    return status;
}
