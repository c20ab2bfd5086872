// A pack of levels in play: read once at start in its order, each load (the first, a restart after
// a lost life, the next level) copying its cells afresh; the banner counting through the pack and
// the game-over screen after its last level; a very long level; and a map handed over from memory
// with the hero placed in it, as the editor's test-play does.
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/flow.h"
#include "tests/support/levels.h"
#include "tests/support/play.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"
#include "world/level_pack.h"
#include "world/map_file.h"
#include "world/object_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace headless = platform::headless;

namespace {

// Writes files into a fresh folder of the test's own and returns its path.
std::string pack_folder(const std::vector<std::pair<std::string, std::string>>& files) {
    const fs::path dir = scratch_files::scratch("pack");
    fs::create_directories(dir);
    for (const auto& [name, bytes] : files) std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir.string();
}

// The column of the block a tiny_level carries in its sky, read from the map in play.
int mark_in_play() {
    for (int32_t col = 0; col < current_map.map_width; ++col)
        if (current_map.cell(current_map.index_of(col, 2)) == TILE_BLOCK) return col;
    return -1;
}

// The game started on a pack: read before the program's state is set up, as the programs do.
class PackTest : public GameTest {
protected:
    void SetUp() override {}
    void start(const std::string& folder) {
        std::string error;
        ASSERT_TRUE(load_level_pack(folder, error)) << error;
        GameTest::SetUp();
        game_state.in_game = true;
    }
    void TearDown() override {
        use_built_in_levels();
        GameTest::TearDown();
    }
};

}  // namespace

TEST_F(PackTest, LevelsPlayInNameOrderOrAsPackTxtSays) {
    const std::string dir = pack_folder({{"b.txt", tiny_level(6)}, {"a.txt", tiny_level(4)},
                                         {"c.map", map_file_bytes(text_map({"=="}))},
                                         {"notes.md", "not a level"}});
    start(dir);
    ASSERT_EQ(level_count(), 3);
    EXPECT_EQ(mark_in_play(), 4);  // a.txt first
    EXPECT_EQ(fs::path(level_pack.levels[2].file).filename(), "c.map");
    EXPECT_EQ(level_pack.levels[2].map.map_width, 2);  // a map read as it is, from its bytes
    use_built_in_levels();

    std::ofstream(fs::path(dir) / "pack.txt") << "title: Backwards\nauthor: Ada\nb.txt\na.txt\n";
    std::string error;
    ASSERT_TRUE(load_level_pack(dir, error)) << error;
    EXPECT_EQ(level_pack.title, "Backwards");
    EXPECT_EQ(level_pack.author, "Ada");
    ASSERT_EQ(level_count(), 2);
    EXPECT_EQ(fs::path(level_pack.levels[0].file).filename(), "b.txt");
}

TEST_F(PackTest, TheBannerCountsThroughThePackPastTheThirdLevel) {
    start(pack_folder({{"1.txt", tiny_level(3)}, {"2.txt", tiny_level(4)}, {"3.txt", tiny_level(5)},
                       {"4.txt", tiny_level(6)}}));
    play_frames(1);
    // The level number of each banner as its last present shows it ("Level " at x 360, the number
    // at 400), and the screens the banners were.
    std::vector<std::vector<uint32_t>> numbers;
    std::vector<Screen> banners;
    Screen before = Screen::game;
    headless::set_present_hook([&](int, const uint32_t* pixels, int width, int) {
        const Screen now = current_screen;
        if (now != Screen::game && before == Screen::game) {
            banners.push_back(now);
            numbers.emplace_back();
        }
        before = now;
        if (now == Screen::game) return;
        numbers.back().clear();
        for (int y = 200; y < 214; ++y)
            numbers.back().insert(numbers.back().end(), pixels + y * width + 400,
                                  pixels + y * width + 430);
    });
    for (int level = 2; level <= 4; ++level) {
        game_state.next_level = true;
        play_frames(1);
        EXPECT_EQ(game_state.level_index, level - 1);
        EXPECT_EQ(mark_in_play(), level + 2);
    }
    headless::set_present_hook(nullptr);
    EXPECT_EQ(game_state.lives, 3);  // the fourth level is played, not the game-over screen
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_EQ(banners, std::vector<Screen>(3, Screen::banner));
    EXPECT_NE(numbers[0], numbers[1]);
    EXPECT_NE(numbers[1], numbers[2]);
    EXPECT_NE(numbers[0], numbers[2]);
}

TEST_F(PackTest, ALostLifeRestartsTheLevelFromItsCellsAsLoaded) {
    start(pack_folder({{"1.txt", tiny_level(3)}}));
    play_frames(1);
    const auto loaded = level_pack.levels[0].map.map_cells;
    ASSERT_NE(current_map.map_cells, loaded);  // play writes a copy
    current_map.clear_cell(3, 2);              // as a broken brick does
    game_state.lives = 2;
    game_state.restart_level = true;
    play_frames(1);
    EXPECT_EQ(mark_in_play(), 3);
    EXPECT_EQ(loaded[2 * 30 + 3], TILE_BLOCK);
    EXPECT_EQ(player.world_x(), Player::start_x);
}

TEST_F(PackTest, ALevelOfTenThousandColumnsLoadsAndPlays) {
    start(pack_folder({{"long.txt", tiny_level(9000, 10000)}}));
    play_frames(1);
    EXPECT_EQ(current_map.map_width, 10000);
    EXPECT_EQ(mark_in_play(), 9000);
    // Over the pipe at column 12 and on along the ground, the map scrolling under the hero.
    play_frames(12, {DIK_RIGHT, DIK_LSHIFT, DIK_SPACE});
    play_frames(300, {DIK_RIGHT, DIK_LSHIFT});
    EXPECT_GT(player.world_x(), 2000);
    EXPECT_GT(player.scroll, 0);
    EXPECT_EQ(game_state.lives, 3);
}

TEST_F(PackTest, AMapFromMemoryPlaysFromTheGivenCellAndALostLifeLoadsItsCellsAgain) {
    start(pack_folder({{"1.txt", tiny_level(3)}}));
    play_frames(1);
    std::vector<std::string> rows(20, std::string(200, '.'));
    rows[18] = rows[19] = std::string(200, '=');
    rows[14][120] = 'w';
    const TileMap map = text_map(rows);
    start_level_at(map, 100, 17, 2800);
    EXPECT_EQ(player.world_x(), Player::start_x + 32 * 98);  // column 2's place, 98 columns on
    EXPECT_EQ(player.scroll, 2800);
    EXPECT_EQ(current_map.map_width, 200);
    EXPECT_EQ(current_map.cell(current_map.index_of(120, 14)), TILE_EMPTY);  // the walker was made
    EXPECT_EQ(map.cell(map.index_of(120, 14)), TILE_WALKER) << "the editor's map is left alone";
    play_frames(5);
    game_state.lives = 2;
    game_state.restart_level = true;
    play_frames(1);
    EXPECT_EQ(current_map.map_width, 200) << "the restart loads the map from memory, not level 1";
    EXPECT_EQ(player.world_x(), Player::start_x);
    EXPECT_EQ(game_state.level_index, 0);
}

TEST_F(PackTest, AfterTheLastOfTwoLevelsComesTheGameOverScreenThenTheFirstAgain) {
    start(pack_folder({{"1.txt", tiny_level(3)}, {"2.txt", tiny_level(8)}}));
    play_frames(1);
    std::vector<Screen> screens;
    headless::set_present_hook([&](int, const uint32_t*, int, int) {
        if (screens.empty() || screens.back() != current_screen) screens.push_back(current_screen);
    });
    game_state.next_level = true;
    play_frames(1);
    EXPECT_EQ(game_state.level_index, 1);
    EXPECT_EQ(game_state.lives, 3);
    EXPECT_EQ(mark_in_play(), 8);
    game_state.next_level = true;
    play_frames(1);
    headless::set_present_hook(nullptr);
    EXPECT_EQ(game_state.lives, -1);
    EXPECT_FALSE(game_state.in_game);
    EXPECT_EQ(mark_in_play(), 3);
    EXPECT_EQ((std::vector<Screen>{Screen::banner, Screen::game, Screen::game_over, Screen::game}),
              screens);
}
