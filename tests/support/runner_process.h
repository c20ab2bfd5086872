// For tests that run the brickrun-headless program itself (its path and the built data folder
// come from the build as BRICKRUN_HEADLESS and BRICKRUN_DATA).
#pragma once

#include "tests/support/scratch.h"

#include <string>
#include <vector>

namespace runner_process {

using namespace scratch_files;

// brickrun-headless with the built data folder and these arguments (a later --data wins).
inline RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data", BRICKRUN_DATA});
    return run_program(BRICKRUN_HEADLESS, args);
}

}  // namespace runner_process
