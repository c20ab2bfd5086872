// Packs on the command line: every way a pack cannot start is one line and status 1 before the
// first present; --levels alone plays the player's own folder; the built-in levels' text as a pack
// plays the whole-game clear exactly as the game does; a level proved by brickrun-solve --level
// replays to its pipe with brickrun-headless --levels; and brickrun-assets check-pack's statuses.
#include "tests/support/levels.h"
#include "tests/support/runner_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace runner_process;

namespace {

const std::string sources = fs::path(BRICKRUN_CLEARS).parent_path().parent_path() / "assets";

fs::path folder_of(const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& files) {
    const fs::path dir = scratch(name);
    fs::create_directories(dir);
    for (const auto& [file, bytes] : files) std::ofstream(dir / file, std::ios::binary) << bytes;
    return dir;
}

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(LevelPacks, EveryPackThatCannotStartIsOneLineAndStatusOne) {
    std::string bad = tiny_level();
    bad[bad.find('\n') + 1 + 31 + 9] = 'q';  // map row 1, line 3 of the file, column 10
    std::vector<std::pair<std::string, std::string>> hundred;
    for (int i = 0; i < 100; ++i) hundred.push_back({"l" + std::to_string(100 + i) + ".txt", tiny_level()});
    struct Case {
        fs::path dir;
        std::string said;
    };
    const fs::path empty = folder_of("empty", {{"notes.md", "no level"}});
    const fs::path broken = folder_of("broken", {{"a.txt", tiny_level()}, {"b.txt", bad}});
    const fs::path missing = folder_of("missing", {{"a.txt", tiny_level()}, {"pack.txt", "a.txt\nb.txt\n"}});
    const fs::path many = folder_of("many", hundred);
    const fs::path short_map = folder_of("short", {{"a.map", std::string(6, '\1')}});
    const Case cases[] = {
        {empty, empty.string() + ": no levels in it (.txt or .map files, or a pack.txt naming them)\n"},
        {broken, (broken / "b.txt").string() + ":3:10: unknown tile character 'q'\n"},
        {missing, (missing / "pack.txt").string() + ":2:1: no file 'b.txt' in the pack's folder\n"},
        {many, many.string() + ": 100 levels, more than a pack holds (99)\n"},
        {short_map, (short_map / "a.map").string() + ": too short to hold the map's sizes\n"},
        {scratch("none"), scratch("none").string() + ": there is no such folder\n"},
    };
    for (const Case& c : cases) {
        const fs::path trace = scratch("trace.jsonl");
        const RunResult r = run({"--levels", c.dir.string(), "--trace", trace.string()});
        EXPECT_EQ(r.status, 1) << c.said;
        EXPECT_EQ(r.err, c.said);
        EXPECT_EQ(fs::file_size(trace), 0u) << "not one present";
    }
}

TEST(LevelPacks, LevelsAloneIsThePlayersOwnFolderUnderXdgDataHome) {
    const fs::path home = scratch("data-home");
    folder_of("data-home/brickrun/levels", {{"only.txt", tiny_level()}});
    const char* was = std::getenv("XDG_DATA_HOME");
    const std::string kept = was ? was : "";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path trace = scratch("trace.jsonl");
    // --levels followed by another option takes no folder.
    const RunResult r = run({"--levels", "--presents", "5", "--trace", trace.string()});
    setenv("XDG_DATA_HOME", (home / "nowhere").c_str(), 1);
    const RunResult none = run({"--presents", "5", "--levels"});
    was ? setenv("XDG_DATA_HOME", kept.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(slurp(trace)), 5);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, (home / "nowhere/brickrun/levels").string() + ": there is no such folder\n");
}

TEST(LevelPacks, TheBuiltInLevelsAsAPackOfTextPlayTheWholeGameClearAlike) {
    const std::string script = std::string(BRICKRUN_CLEARS) + "/game.txt";
    const fs::path game = scratch("game.jsonl"), pack = scratch("pack.jsonl");
    RunResult r = run({"--input", script, "--presents", "3600", "--no-pictures", "--trace",
                       game.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"--levels", sources + "/maps", "--input", script, "--presents", "3600", "--no-pictures",
             "--trace", pack.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(slurp(game) == slurp(pack)) << "the same levels, compiled as they load, play alike";
    EXPECT_NE(slurp(pack).find("\"screen\":\"game_over\""), std::string::npos);
}

TEST(LevelPacks, ALevelProvedWithLevelReplaysToItsPipeAndTheGameOverScreen) {
    const fs::path pack = folder_of("tiny", {{"tiny.txt", tiny_level()}});
    const fs::path clear = scratch("clear.txt");
    const RunResult solved = run_program(
        BRICKRUN_SOLVE, {"--data", BRICKRUN_DATA, "--level", (pack / "tiny.txt").string(), "--out",
                         clear.string()});
    ASSERT_EQ(solved.status, 0) << solved.err;
    const fs::path trace = scratch("trace.jsonl");
    const RunResult r = run({"--levels", pack.string(), "--input", clear.string(), "--presents",
                             "600", "--no-pictures", "--trace", trace.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string rows = slurp(trace);
    EXPECT_NE(rows.find("\"next_level\":true"), std::string::npos);
    EXPECT_NE(rows.find("\"screen\":\"game_over\""), std::string::npos) << "one level, then over";
    EXPECT_EQ(rows.find("\"lives\":2"), std::string::npos) << "no life lost";
}

TEST(LevelPacks, CheckPackSaysWhichLevelsCannotBeFinished) {
    std::string walled = tiny_level();
    for (int row = 0; row < 18; ++row) walled[walled.find('\n') + 1 + row * 31 + 8] = 'X';
    const fs::path good = folder_of("good", {{"a.txt", tiny_level()}, {"b.txt", tiny_level(9)}});
    const fs::path bad = folder_of("bad", {{"a.txt", tiny_level()}, {"walled.txt", walled}});
    const std::string data = BRICKRUN_DATA;
    RunResult r = run_program(BRICKRUN_ASSETS_TOOL, {"check-pack", good.string(), "--data", data});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out), 2) << r.out;
    EXPECT_NE(r.out.find((good / "b.txt").string() + ": proved in "), std::string::npos) << r.out;

    r = run_program(BRICKRUN_ASSETS_TOOL, {"check-pack", bad.string(), "--data", data});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find((bad / "walled.txt").string() + ": cannot be finished: the hero got as far "
                                                         "as world x "),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, bad.string() + ": 1 of 2 levels cannot be finished: walled.txt\n");

    r = run_program(BRICKRUN_ASSETS_TOOL, {"check-pack", scratch("none").string(), "--data", data});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.err), 1);
}
