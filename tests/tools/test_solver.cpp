// brickrun-solve's command line: a search takes minutes, so whatever would keep it from writing its
// scripts, or from running as asked, is said in one line, with status 2, before it starts.
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

TEST(Solver, ABadCommandLineIsOneLineAndStatusTwoBeforeAnySearch) {
    const fs::path out = scratch_files::scratch("out");
    fs::create_directories(out);
    const fs::path file = scratch_files::scratch("a-file");
    std::ofstream(file) << "x";
    const std::string data = BRICKRUN_DATA, missing = (out / "none").string();
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const Case cases[] = {
        {{"--data", data, "--levels", "1", "--out", missing},
         "brickrun-solve: --out " + missing + ": there is no such folder\n"},
        {{"--data", data, "--out", file.string()},
         "brickrun-solve: --out " + file.string() + ": there is no such folder\n"},
        {{"--data", data, "--levels", "4", "--out", out.string()},
         "brickrun-solve: --levels 4: say a whole number from 1 to 3\n"},
        {{"--data", data, "--beam", "8x", "--out", out.string()},
         "brickrun-solve: --beam 8x: say a whole number from 1 to 1000\n"},
        {{"--data", data, "--levels", "1"}, "brickrun-solve: --out names no folder"},
        {{"--data", data, "--out"}, "brickrun-solve: --out needs a value"},
        {{"--depth", "3", "--out", out.string()}, "brickrun-solve: unknown option --depth"},
        {{"--data", data, "--levels", "1", "--out", out.string(), "--path", (out / "p").string()},
         "brickrun-solve: --path " + (out / "p").string() + ": a way through one level: give "
         "--level too\n"},
        {{"--data", data, "--level", file.string(), "--out", (out / "s").string(), "--path",
          missing + "/p"},
         "brickrun-solve: --path " + missing + ": there is no such folder\n"},
    };
    for (const Case& c : cases) {
        const scratch_files::RunResult run = scratch_files::run_program(BRICKRUN_SOLVE, c.args);
        EXPECT_EQ(run.status, 2) << c.said;
        EXPECT_EQ(run.err.substr(0, c.said.size()), c.said);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_TRUE(fs::is_empty(out)) << "nothing is written";
}
