// The headless runner's command line, which tests, benchmarks and outside checks rely on.
#include <gtest/gtest.h>

#include "tests/support/play.h"
#include "tests/support/runner_process.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using namespace runner_process;

std::string write(const std::string& name, const std::string& text) {
    fs::path path = scratch(name);
    std::ofstream(path) << text;
    return path.string();
}

// A data folder with the built pictures and font and these three levels.
fs::path data_with_levels(const std::string& name, const std::vector<const TileMap*>& levels) {
    fs::path data = scratch(name);
    fs::remove_all(data);
    fs::create_directories(data / "Maps");
    fs::create_directory_symlink(fs::path(BRICKRUN_DATA) / "Graphics", data / "Graphics");
    fs::create_symlink(fs::path(BRICKRUN_DATA) / "font.raw", data / "font.raw");
    for (size_t i = 0; i < levels.size(); ++i) {
        std::string name = "level";
        name += std::to_string(i + 1);
        std::ofstream(data / "Maps" / (name + ".map"), std::ios::binary) << map_file_bytes(*levels[i]);
    }
    return data;
}

std::vector<std::string> lines_of(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(HeadlessRunner, RejectsBadArgumentsAndScriptsWithStatusTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--presents"}, {"--presents", "0"}, {"--presents", "ten"}, {"--shot", "5"},
             {"--shot", "x:a.png"}, {"--frobnicate", "1"}, {"stray"},
             {"--no-pictures", "--shot", "2:a.png"}}) {
        RunResult r = run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args[0] << ": " << r.err;
    }
    RunResult r = run({"--input", write("bad.txt", "1 +RETURN\n0 -RETURN\n")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_EQ(run({"--input", "/no/such/script.txt"}).status, 2);
    EXPECT_EQ(run({"--presents", "5", "--shot", "2:" + scratch("x.gif").string()}).status, 2);
}

TEST(HeadlessRunner, PlaysAScriptWithShotsAndATraceTheSameEveryTime) {
    std::string script = write("start.txt", "# start a game, then quit\n2 +RETURN\n4 -RETURN\n150 +ESCAPE\n");
    fs::path trace = scratch("trace.jsonl");
    std::vector<std::string> shots;
    for (int n : {1, 3, 110, 120}) {
        std::string number = std::to_string(n);
        shots.insert(shots.end(), {"--shot", number + ":" + scratch("a" + number + ".png").string()});
    }
    std::vector<std::string> args = {"--input", script, "--trace", trace.string()};
    args.insert(args.end(), shots.begin(), shots.end());
    args.insert(args.end(), {"--shot", "120:" + scratch("a120.bmp").string()});
    RunResult first = run(args);
    ASSERT_EQ(first.status, 0) << first.err;

    // The run ends when Escape ends the program: 2 menu passes, the banner, then game frames.
    std::ifstream lines(trace);
    std::string line, last;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        last = line;
    }
    EXPECT_EQ(count, 151);
    EXPECT_EQ(last.rfind("{\"present\":151,", 0), 0u) << last;
    EXPECT_NE(last.find("\"in_game\":true"), std::string::npos);
    EXPECT_NE(last.find("\"sub_steps\":32"), std::string::npos);

    EXPECT_EQ(slurp(scratch("a1.png")).substr(1, 3), "PNG");
    EXPECT_EQ(slurp(scratch("a120.bmp")).substr(0, 2), "BM");
    EXPECT_GT(slurp(scratch("a120.bmp")).size(), 800u * 600 * 3);

    std::string menu = slurp(scratch("a3.png")), game = slurp(scratch("a120.png"));
    args = {"--input", script};
    args.insert(args.end(), shots.begin(), shots.end());
    RunResult second = run(args);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(slurp(scratch("a3.png")), menu);
    EXPECT_EQ(slurp(scratch("a120.png")), game);
    EXPECT_NE(menu, game);
}

TEST(HeadlessRunner, StopsAfterTheGivenPresent) {
    fs::path trace = scratch("short.jsonl");
    ASSERT_EQ(run({"--presents", "7", "--trace", trace.string()}).status, 0);
    std::string text = slurp(trace);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
}

TEST(HeadlessRunner, UnreadableFirstLevelEndsTheGameWithStatusOne) {
    fs::path data = scratch("broken_data");
    fs::create_directories(data / "Maps");
    std::ofstream(data / "Maps" / "level1.map", std::ios::binary) << std::string("\x64\0\0\0\x14\0\0\0", 8);
    RunResult r = run({"--data", data.string(), "--presents", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("level1.map: the file holds 0 cells but its sizes say 2000"), std::string::npos)
        << r.err;
    fs::remove(data / "Maps" / "level1.map");
    r = run({"--data", data.string(), "--presents", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

TEST(HeadlessRunner, TraceHoldsTheScreenTheWholeHeroTheObjectsAndTheChangedCells) {
    TileMap level = text_map({
        ".....BH.......................",
        "..............................",
        "..........v...................",
        "........w.{}..................",
        "==============================",
        "==============================",
    });
    fs::path data = data_with_levels("data", {&level, &level, &level});
    std::string script = write("jump.txt", "2 +RETURN\n4 -RETURN\n110 +SPACE\n");
    fs::path trace = scratch("trace.jsonl");
    RunResult r = run({"--data", data.string(), "--input", script, "--presents", "120", "--trace",
                       trace.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = lines_of(trace);
    ASSERT_EQ(lines.size(), 120u);

    auto has = [&](int present, const std::string& text) {
        return lines[present - 1].find(text) != std::string::npos;
    };
    EXPECT_TRUE(has(1, "\"screen\":\"menu\""));
    EXPECT_TRUE(has(3, "\"screen\":\"banner\""));
    EXPECT_TRUE(has(103, "\"screen\":\"game\""));
    // Every field of the hero, by name and in order; its pictures are empty before its first frame.
    EXPECT_TRUE(has(1, "\"hero\":{\"x\":67,\"vx\":0,\"y\":503,\"vy\":0,\"scroll\":0,\"anim\":0,"
                       "\"facing_left\":false,\"sprite\":\"\",\"box\":[67,503,67,503],\"wall_right\":false,"
                       "\"wall_left\":false,\"hurt\":false,\"crouching\":false,\"jumping\":false,"
                       "\"jump_ref_y\":0,\"death_timer\":0,\"grow_timer\":0,\"power\":0,\"hurt_timer\":0,"
                       "\"pipe_timer\":0,\"saved_vx\":0,\"saved_vy\":0,\"start_grace\":0}"))
        << lines[0];
    // Objects column by column behind the hero: a brick, a hidden block, a walker, the pipe entrance.
    EXPECT_TRUE(has(1, "{\"index\":1,\"kind\":2,\"x\":160,\"vx\":0,\"y\":416,"));
    EXPECT_TRUE(has(1, "{\"index\":3,\"kind\":3,\"x\":256,\"vx\":-3,\"y\":512,\"vy\":0,\"scroll\":0,"
                       "\"anim\":0,\"facing_left\":false,\"sprite\":\"plomb0.bmp\",\"box\":[256,512,288,544],"
                       "\"walk_anim\":0,\"enemy_type\":1,\"mirrored\":false,\"dead\":false,\"points\":0,"
                       "\"active\":false,\"knocked\":false}"));
    // Then the fields of the class.
    EXPECT_TRUE(has(1, "\"box\":[192,416,224,448],\"used\":false,\"bump\":0,\"debris_timer\":0,"
                       "\"block_type\":2,\"content\":0}"));
    EXPECT_TRUE(has(1, "{\"index\":4,\"kind\":5,\"x\":352,\"y\":512,\"box\":[352,512,352,517]}]"));
    // The walker's, the hidden block's and the entrance's cells are free now, in row-major order.
    // Last, the sounds announced since the present before: none yet; the take-off's jump.
    EXPECT_TRUE(has(1, "\"map_changes\":[[6,14,3],[10,16,3],[8,17,3]],\"sounds\":[]}"));
    EXPECT_TRUE(has(110, "\"sprite\":\"pelko.bmp\""));
    EXPECT_TRUE(has(113, "\"sprite\":\"pelkojump.bmp\""));
    EXPECT_TRUE(has(113, "\"jumping\":true"));
    // The take-off is the frame before present 112, and its jump is heard there alone.
    EXPECT_TRUE(has(111, "\"sounds\":[]}"));
    EXPECT_TRUE(has(112, "\"jumping\":true"));
    EXPECT_TRUE(has(112, "\"sounds\":[\"jump\"]}"));
    EXPECT_TRUE(has(113, "\"sounds\":[]}"));
}

TEST(HeadlessRunner, ABrokenLaterLevelRefusesToStart) {
    TileMap level = text_map({"====", "===="});
    fs::path data = data_with_levels("data", {&level, &level});
    RunResult r = run({"--data", data.string(), "--presents", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("brickrun: cannot load level 3: Maps//level3.map: cannot open"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}
