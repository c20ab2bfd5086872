// The recorded clears: the input scripts in tests/clears, played from the title menu exactly as
// brickrun-headless plays them. level1.txt and level2.txt end down the first and the second
// level's exit pipe, game.txt down the third's, after which the game-over screen and the title
// menu follow; none loses a life. A level edit or a rule change that breaks a clear fails here;
// brickrun-solve records them again (see the README).
#include <gtest/gtest.h>

#include "core/game_state.h"
#include "tests/support/play.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What a present showed, as the trace would say it.
struct Seen {
    Screen screen;
    int32_t lives, score, level_index;
    bool next_level;
};

// Plays a clear's script in the data folder `data`, as the headless runner does, until `more`
// presents after its last line, and returns what each present showed.
std::vector<Seen> play_clear(const std::string& script_name, const fs::path& data, int more) {
    std::vector<Seen> seen;
    play_script((fs::path(BRICKRUN_CLEARS) / script_name).string(), data.string(), more, [&](int) {
        const GameState& g = game_state;
        seen.push_back({current_screen, g.lives, g.score, g.level_index, g.next_level});
    });
    return seen;
}

}  // namespace

TEST(RecordedClears, TheFirstAndSecondLevelsAreClearedThroughTheirPipesWithNoLifeLost) {
    for (int n = 1; n <= 2; ++n) {
        std::string name = "level";
        name += std::to_string(n) + ".txt";
        // The hundred frames down the pipe, the next level's banner and its first frames.
        std::vector<Seen> seen = play_clear(name, BRICKRUN_DATA, 250);
        bool through = false, advanced = false;
        for (size_t i = 0; i < seen.size() && !advanced; ++i) {
            const Seen& s = seen[i];
            if (s.screen == Screen::game) {
                EXPECT_EQ(s.lives, 3) << name << " at present " << i + 1;
            }
            through = through || s.next_level;
            advanced = advanced || (through && s.level_index == n);
        }
        EXPECT_TRUE(through) << name << ": the hero never went down the exit pipe";
        EXPECT_TRUE(advanced) << name << ": the next level never began";
    }
}

TEST(RecordedClears, TheWholeGameIsPlayedThroughToTheGameOverScreenAndBackToTheMenu) {
    // The way down the last pipe, the game-over screen and the menu.
    std::vector<Seen> seen = play_clear("game.txt", BRICKRUN_DATA, 500);
    int level = 0, game_over_at = -1, menu_after = -1;
    int32_t score = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        const Seen& s = seen[i];
        if (s.screen == Screen::game && game_over_at < 0) {
            EXPECT_EQ(s.lives, 3) << "a life was lost at present " << i + 1;
            EXPECT_GE(s.level_index, level) << i + 1;
            level = s.level_index;
        }
        if (s.screen == Screen::game_over && game_over_at < 0) {
            game_over_at = static_cast<int>(i);
            score = s.score;
        }
        if (game_over_at >= 0 && s.screen == Screen::menu && menu_after < 0)
            menu_after = static_cast<int>(i);
    }
    EXPECT_EQ(level, 2);  // all three levels were played
    ASSERT_GE(game_over_at, 0) << "the game-over screen never showed";
    EXPECT_GT(score, 0);
    EXPECT_GT(menu_after, game_over_at) << "the title menu did not follow the game-over screen";
}
