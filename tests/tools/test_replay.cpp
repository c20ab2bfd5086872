// brickrun-headless --record and --replay: a recorded run played again reaches the same states.
#include <gtest/gtest.h>

#include "tests/support/runner_process.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace runner_process;

void spill(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Starts a game, runs right, jumps, turns back, runs with Shift, holds slow motion and the debug
// overlay for a while, then (with an Escape moment) quits.
std::string play_script(bool quit) {
    std::string script =
        "2 +RETURN\n4 -RETURN\n"
        "110 +RIGHT\n140 +SPACE\n150 -SPACE\n170 +LSHIFT\n200 +SPACE\n215 -SPACE\n"
        "240 +S +D\n250 -S\n260 -RIGHT +LEFT -D\n280 -LEFT -LSHIFT +RIGHT\n"
        "300 +SPACE\n318 -SPACE\n330 +MOUSE1\n331 -MOUSE1\n";
    // (MOUSE1 ends the game only in play, and 330 is; so a run without quitting stops before.)
    if (quit) script += "340 +ESCAPE\n";
    return script;
}

}  // namespace

TEST(Replay, ARecordedRunReplaysToTheSameTraceByteForByte) {
    struct Case {
        const char* name;
        std::string script;
        std::vector<std::string> limit;
    };
    // Cut off by a present limit, and ended by the game itself (the left button quits at 331).
    for (const Case& c : {Case{"cut", play_script(false), {"--presents", "320"}},
                          Case{"quit", play_script(true), {}}}) {
        SCOPED_TRACE(c.name);
        const fs::path script = scratch(std::string(c.name) + ".txt");
        spill(script, c.script);
        const fs::path rec = scratch("run.rec"), again = scratch("again.rec");
        const fs::path played = scratch("played.jsonl"), replayed = scratch("replayed.jsonl");
        std::vector<std::string> args = {"--input", script.string(), "--trace", played.string(),
                                         "--record", rec.string()};
        args.insert(args.end(), c.limit.begin(), c.limit.end());
        RunResult r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        r = run({"--replay", rec.string(), "--trace", replayed.string(), "--record", again.string()});
        ASSERT_EQ(r.status, 0) << r.err;

        const std::string trace = slurp(played);
        EXPECT_GE(lines(trace), 320);
        EXPECT_NE(trace.find("\"screen\":\"game\""), std::string::npos);
        EXPECT_NE(trace.find("\"jumping\":true"), std::string::npos);
        EXPECT_TRUE(slurp(replayed) == trace) << "the replay's trace differs from the run's";
        // Replaying reads exactly what was recorded, so recording the replay gives the same file.
        EXPECT_TRUE(slurp(again) == slurp(rec));
    }
}

TEST(Replay, RefusesADamagedRecordingWithStatusTwoAndOneLine) {
    const fs::path script = scratch("play.txt");
    spill(script, play_script(true));
    const fs::path rec = scratch("run.rec");
    ASSERT_EQ(run({"--input", script.string(), "--record", rec.string()}).status, 0);
    const std::string good = slurp(rec);
    ASSERT_GT(good.size(), 40u);

    struct Damage {
        std::string name, bytes, says;
    };
    std::string version = good, flipped = good;
    version[8] = 9;
    for (size_t at = good.size() / 2; at < good.size() / 2 + 3; ++at) flipped[at] ^= 0x5A;
    const std::vector<Damage> damages = {
        {"version", version, "format version 9"},
        {"no header", good.substr(0, 5), "not a brickrun recording"},
        {"cut in the middle", good.substr(0, good.size() / 2), "record at byte"},
        {"cut before the end marker", good.substr(0, good.size() - 5), "without its end marker"},
        {"cut in the checksum", good.substr(0, good.size() - 2), "cut short"},
        {"flipped", flipped, ""},  // a checksum or a record that does not parse, by where it lands
    };
    const fs::path bad = scratch("bad.rec");
    for (const auto& d : damages) {
        spill(bad, d.bytes);
        RunResult r = run({"--replay", bad.string(), "--trace", scratch("t.jsonl").string()});
        EXPECT_EQ(r.status, 2) << d.name;
        EXPECT_EQ(lines(r.err), 1) << d.name << ": " << r.err;
        EXPECT_EQ(r.err.rfind("brickrun-headless: " + bad.string() + ": ", 0), 0u) << d.name << ": " << r.err;
        EXPECT_NE(r.err.find(d.says), std::string::npos) << d.name << ": " << r.err;
        // Refused before the game starts: not one present.
        EXPECT_EQ(slurp(scratch("t.jsonl")), "") << d.name;
    }
}

// A recording that checks out but belongs to another game: the level differs, so the hero meets
// its end elsewhere, and the reads the game makes part from the recorded ones.
TEST(Replay, StopsWhenTheGameAndTheRecordingPartWays) {
    const fs::path rec = scratch("run.rec");
    const fs::path script = scratch("play.txt");
    spill(script, "2 +RETURN\n4 -RETURN\n110 +RIGHT +LSHIFT\n");
    ASSERT_EQ(run({"--input", script.string(), "--presents", "700", "--record", rec.string()}).status,
              0);
    const fs::path data = scratch("data");
    fs::remove_all(data);
    fs::create_directories(data / "Maps");
    fs::create_directory_symlink(fs::path(BRICKRUN_DATA) / "Graphics", data / "Graphics");
    fs::create_symlink(fs::path(BRICKRUN_DATA) / "font.raw", data / "font.raw");
    // The first level is the third: the hero runs into other things there.
    for (const char* name : {"level1.map", "level2.map", "level3.map"})
        fs::copy_file(fs::path(BRICKRUN_DATA) / "Maps" / (std::string(name) == "level1.map" ? "level3.map" : name),
                      data / "Maps" / name);
    RunResult r = run({"--replay", rec.string(), "--data", data.string()});
    EXPECT_EQ(r.status, 2) << r.err;
    // The game has started by then, saying nothing; then one line.
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_EQ(r.err.rfind("brickrun-headless: " + rec.string() + ": out of step at event ", 0), 0u)
        << r.err;
}

TEST(Replay, CommandLineMistakesExitTwoWithOneLine) {
    const fs::path script = scratch("play.txt");
    spill(script, "2 +RETURN\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--record"}, {"--replay"}, {"--replay", "x.rec", "--input", script.string()},
             {"--input", script.string(), "--replay", "x.rec"}, {"--replay", "/no/such/file.rec"},
             {"--record", "/no/such/folder/x.rec"}}) {
        RunResult r = run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(lines(r.err), 1) << args.back() << ": " << r.err;
    }
}
