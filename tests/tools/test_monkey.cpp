// The monkey soak's checks, each broken on purpose, and its play, which must be the same for the
// same seed.
#include "tests/support/play.h"
#include "tests/support/runner_process.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

#include "core/game_state.h"
#include "player/player.h"
#include "tools/headless/monkey.h"
#include "world/map_file.h"

#include <climits>
#include <cstring>
#include <functional>

namespace {

using MonkeyTest = GameTest;

// A level whose map file exists, so that the cell check has the file to compare with.
void start_level_from_file() {
    TileMap map = text_map({"....w.....", "..B?H.....", "=========="});
    // The map's path has room for 63 characters only: the process's folder, not the test's.
    const auto path = scratch_files::process_folder() / "monkey_level.map";
    std::ofstream(path, std::ios::binary) << map_file_bytes(map);
    ASSERT_LT(path.string().size(), sizeof map.path);
    std::strcpy(map.path, path.c_str());
    start_level(map);
    current_screen = Screen::game;
}

}  // namespace

TEST_F(MonkeyTest, NamesEachBrokenInvariantAndAcceptsWhatTheGameWrites) {
    const int32_t ground = 19 * 10 + 3;  // row 19, column 3
    const int32_t brick = 18 * 10 + 2;
    struct Case {
        const char* says;  // "" when the change is one the game makes itself
        std::function<void()> change;
    };
    const Case cases[] = {
        {"", [&] { current_map.set_cell(brick, TILE_EMPTY); }},
        {"", [&] { current_map.set_cell(brick + 1, TILE_HIDDEN); }},
        {"", [] { objects.remove(objects.entries[1].object); }},
        {"entry 0 is not the hero", [] { objects.entries[0].kind = KIND_ENEMY; }},
        {"entry 0 is not the hero", [] { std::swap(objects.entries[0], objects.entries[1]); }},
        {"is a second hero", [] { objects.append(&player, KIND_PLAYER); }},
        {"unknown kind 6", [] { objects.entries[1].kind = 6; }},
        {"capacity", [] { objects.count = objects.capacity + 1; }},
        {"cell (3, 19) holds 4", [&] { current_map.set_cell(ground, TILE_WALKER); }},
        {"cell (2, 18) holds 2", [&] { current_map.set_cell(brick, TILE_BLOCK); }},
        {"lives below -1", [] { game_state.lives = -2; }},
        {"score below 0", [] { game_state.score = INT_MIN; }},
        {"coins below 0", [] { game_state.coins = INT_MIN + 5; }},
        {"score fell during a game, from 500 to 100", [] { game_state.score = 100; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        start_level_from_file();
        ASSERT_GT(objects.count, 1);
        game_state = GameState{};
        game_state.in_game = true;
        game_state.score = 500;
        Monkey monkey(1, {});
        ASSERT_EQ(monkey.on_present(1), "");
        c.change();
        const std::string broken = monkey.on_present(2);
        if (*c.says == '\0') {
            EXPECT_EQ(broken, "");
        } else {
            EXPECT_NE(broken.find(c.says), std::string::npos) << broken;
        }
    }
}

// Through the program: the same seed plays the same game; another seed another one; a broken
// command line is refused.
TEST(MonkeyRun, IsTheSameForTheSameSeed) {
    using namespace runner_process;
    const std::string guide = std::string(BRICKRUN_CLEARS) + "/game.txt";
    auto trace_of = [&](const char* seed, const char* name) {
        const fs::path trace = scratch(name);
        RunResult r = run({"--monkey", seed, "--guide", guide, "--presents", "1200", "--trace",
                           trace.string()});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("every invariant held"), std::string::npos);
        return slurp(trace);
    };
    const std::string first = trace_of("7", "a.jsonl");
    EXPECT_NE(first.find("\"screen\":\"game\""), std::string::npos);
    EXPECT_TRUE(trace_of("7", "b.jsonl") == first);
    EXPECT_FALSE(trace_of("8", "c.jsonl") == first);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--monkey", "x"}, {"--monkey", "-1"}, {"--monkey", "1", "--input", "x.txt"},
             {"--guide", "x.txt"}, {"--monkey", "1", "--guide", "/no/such/guide.txt"}}) {
        RunResult r = run(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args.back() << ": " << r.err;
    }
}
