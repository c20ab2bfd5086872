// For tests that run the brickrun-headless program itself (its path and the built data folder
// come from the build as BRICKRUN_HEADLESS and BRICKRUN_DATA).
#pragma once

#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace runner_process {

namespace fs = std::filesystem;

// Each test has a folder of its own, in one made afresh for this process and removed at its end,
// so tests (and two runs of the suite) may run side by side.
inline fs::path scratch(const std::string& name) {
    static const ScratchFolder root;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = root.path / test->test_suite_name() / test->name();
    fs::create_directories(dir);
    return dir / name;
}

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RunResult {
    int status;
    std::string err;
};

// brickrun-headless with the built data folder and these arguments (a later --data wins).
inline RunResult run(const std::string& args) {
    const fs::path err = scratch("stderr.txt");
    const std::string command = std::string(BRICKRUN_HEADLESS) + " --data " + BRICKRUN_DATA + " " +
                                args + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err)};
}

}  // namespace runner_process
