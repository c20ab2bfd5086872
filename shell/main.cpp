// The programs brickrun and brickrun-fs: the same game, built windowed or full screen.
#include "platform/platform.h"
#include "platform/replay.h"
#include "shell/entry.h"

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
            platform::report_fatal("brickrun: unknown option " + arg +
                                   " (usage: brickrun [--record FILE])");
            return 2;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            platform::report_fatal("brickrun: --record needs a file name");
            return 2;
        }
        record = argv[++i];
    }
    std::string error;
    if (!record.empty() && !platform::replay::record_to(record, error)) {
        platform::report_fatal("brickrun: " + record + ": " + error);
        return 2;
    }
    int status = win_main();
    if (!platform::replay::finish_recording(true, error)) {
        platform::report_fatal("brickrun: " + record + ": " + error);
        if (status == 0) status = 2;
    }
    return status;
}
