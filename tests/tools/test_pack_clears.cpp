// The packs that ship with the game: every level of every pack in assets/packs is listed by its
// pack.txt, compiles, and has a recorded clear in the pack's clears/ folder that plays it (as a
// pack of that one level) from the title menu down its exit pipe without losing a life. A level
// edit that makes a level impossible, or a rule change that breaks a clear, fails here;
// brickrun-solve --level records a clear again (see the README).
#include <gtest/gtest.h>

#include "core/game_state.h"
#include "platform/platform.h"
#include "player/player.h"
#include "shell/level_option.h"
#include "tests/support/play.h"
#include "world/level_pack.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> packs() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(BRICKRUN_PACKS))
        if (fs::exists(entry.path() / "pack.txt")) found.push_back(entry.path());
    return found;
}

class PackClears : public ::testing::Test {
protected:
    void TearDown() override { use_built_in_levels(); }
};

}  // namespace

TEST_F(PackClears, EveryPackLoadsInItsOrderAndEachOfItsLevelsHasAClear) {
    ASSERT_FALSE(packs().empty());
    for (const fs::path& pack : packs()) {
        std::string error;
        ASSERT_TRUE(load_level_pack(pack.string(), error)) << error;
        EXPECT_GE(level_pack.levels.size(), 6u) << pack;
        for (const auto& level : level_pack.levels) {
            const fs::path file = level.file;
            EXPECT_TRUE(fs::exists(pack / "clears" / file.filename())) << file << " has no clear";
            // Wider than the three built-in levels, and the 20 rows the game plays on.
            EXPECT_GT(level.map.map_width, 210) << file;
            EXPECT_EQ(level.map.map_height, 20) << file;
        }
    }
}

TEST_F(PackClears, EachLevelIsClearedThroughItsPipeWithNoLifeLostAndTheHeroNeverAboveTheScreen) {
    for (const fs::path& pack : packs()) {
        for (const auto& entry : fs::directory_iterator(pack / "clears")) {
            const fs::path level = pack / entry.path().filename();
            std::string error;
            ASSERT_TRUE(load_level_file(level.string(), error)) << error;
            bool through = false, lost = false;
            int32_t highest = 600;
            // The way down the pipe and the game-over screen that follows a pack's last level.
            play_script(entry.path().string(), BRICKRUN_DATA, 250, [&](int) {
                // The pipe's way out of a pack's last level shows the game-over screen at once.
                through = through || game_state.next_level;
                if (current_screen != Screen::game || through) return;
                lost = lost || game_state.lives != 3 || game_state.restart_level;
                highest = std::min(highest, player.y);
            });
            EXPECT_TRUE(through) << level << ": the hero never went down the exit pipe";
            EXPECT_FALSE(lost) << level << ": a life was lost";
            EXPECT_GE(highest, 0) << level << ": the hero went above the top of the screen";
            use_built_in_levels();
        }
    }
}

TEST_F(PackClears, AShippedPackIsFoundByItsNameInTheDataFolderAndAFolderHereComesFirst) {
    platform::set_data_folder(BRICKRUN_DATA);
    std::string error;
    EXPECT_TRUE(use_levels_folder("long-way-round", error)) << error;
    EXPECT_EQ(fs::path(level_pack.levels.at(0).file).parent_path(),
              fs::path(BRICKRUN_DATA) / "packs" / "long-way-round");
    EXPECT_FALSE(use_levels_folder("no-such-pack", error));
    EXPECT_NE(error.find("no-such-pack"), std::string::npos) << error;
    // A folder of that name where the game was started is the player's, and wins.
    const fs::path home = fs::current_path();
    fs::current_path(BRICKRUN_PACKS);
    EXPECT_TRUE(use_levels_folder("long-way-round", error)) << error;
    EXPECT_EQ(fs::path(level_pack.levels.at(0).file).parent_path(), "long-way-round");
    fs::current_path(home);
    platform::set_data_folder("");
}
