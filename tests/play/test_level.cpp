// Levels in play: the objects a map's cells become, restarts and level changes, the three-level
// sequence ending in the game-over screen, the level's objects freed at each load, and a map that
// can no longer be read.
#include "blocks/block.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "enemies/enemy.h"
#include "platform/headless/headless.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/flow.h"
#include "tests/support/play.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/object_list.h"

#include <filesystem>
#include <memory>
#include <string>

namespace headless = platform::headless;

namespace {

struct Seen {
    int16_t kind;
    int32_t x, y;
    bool operator==(const Seen&) const = default;
};

Seen seen(int32_t i) {
    const ObjectEntry& e = objects.entries[i];
    if (e.kind == KIND_PIPE) {
        const auto* pipe = static_cast<const PipeEntrance*>(e.object);
        return {e.kind, pipe->x, pipe->y};
    }
    return {e.kind, e.entity()->x, e.entity()->y};
}

}  // namespace

using LevelTest = GameTest;

TEST_F(LevelTest, ObjectCellsBecomeObjectsColumnByColumn) {
    // Columns 10 to 13 of a 100-column map; a 22nd row holds objects that are never made.
    std::vector<std::string> rows(22, std::string(100, '.'));
    rows[14].replace(10, 4, "wB.C");
    rows[15].replace(10, 4, "Bsv?");
    rows[16].replace(10, 4, "..HG");
    rows[20].replace(10, 2, "wB");
    TileMap map = text_map(rows);
    start_level(map);
    ASSERT_EQ(objects.count, 10);
    EXPECT_EQ(seen(1), (Seen{KIND_ENEMY, 320, 416}));
    EXPECT_EQ(seen(2), (Seen{KIND_BLOCK, 320, 448}));
    EXPECT_EQ(seen(3), (Seen{KIND_BLOCK, 352, 416}));
    EXPECT_EQ(seen(4), (Seen{KIND_ENEMY, 352, 448 - 26}));  // the shell walker starts higher
    EXPECT_EQ(seen(5), (Seen{KIND_PIPE, 384 + 32, 480}));  // the cell's right and bottom edges
    EXPECT_EQ(seen(6), (Seen{KIND_BLOCK, 384, 480}));
    EXPECT_EQ(seen(7), (Seen{KIND_BLOCK, 416, 416}));
    EXPECT_EQ(seen(8), (Seen{KIND_BLOCK, 416, 448}));
    EXPECT_EQ(seen(9), (Seen{KIND_BLOCK, 416, 480}));
    auto block = [](int32_t i) { return static_cast<Block*>(objects.entries[i].entity()); };
    EXPECT_EQ(block(6)->block_type, BLOCK_HIDDEN);
    EXPECT_EQ(block(7)->block_type, BLOCK_COIN_BRICK);
    EXPECT_EQ(block(8)->block_type, BLOCK_QUESTION);
    EXPECT_EQ(block(8)->content, CONTENT_COIN);
    EXPECT_EQ(block(9)->content, CONTENT_GROWTH);
    EXPECT_EQ(static_cast<Enemy*>(objects.entries[4].entity())->enemy_type, ENEMY_SHELL_WALKER);
    EXPECT_EQ(static_cast<PipeEntrance*>(objects.entries[5].object)->box,
              (Rect{416, 480, 416, 485}));
    // Enemies, hidden blocks and pipe entrances leave free space; the other blocks stay solid.
    EXPECT_EQ(current_map.cell_at(10, 14), TILE_EMPTY);
    EXPECT_EQ(current_map.cell_at(10, 15), TILE_BRICK);
    EXPECT_EQ(current_map.cell_at(11, 15), TILE_EMPTY);
    EXPECT_EQ(current_map.cell_at(12, 15), TILE_EMPTY);
    EXPECT_EQ(current_map.cell_at(12, 16), TILE_EMPTY);
    EXPECT_EQ(current_map.cell_at(13, 14), TILE_COIN_BRICK);
    EXPECT_EQ(current_map.cell_at(13, 16), TILE_QUESTION_GROWTH);
    EXPECT_EQ(current_map.map_cells[20 * 100 + 10], TILE_WALKER);
}

TEST_F(LevelTest, RestartsGiveAFreshSmallHeroAndLevelChangesKeepABigOne) {
    game_state.in_game = true;
    play_frames(5);
    std::vector<Seen> at_start;
    for (int32_t i = 1; i < objects.count; ++i) at_start.push_back(seen(i));
    std::weak_ptr<void> first_object = level_objects.front();
    size_t store_size = level_objects.size();

    player.power = 1;
    player.vx = 3.0f;
    player.scroll = 200;
    std::string error;
    ASSERT_TRUE(reload_level(error)) << error;
    EXPECT_EQ(player.power, 0);
    EXPECT_EQ(player.vx, 0.0f);
    EXPECT_EQ(player.scroll, 0);
    EXPECT_EQ(player.start_grace, 0);
    // The constructor's big picture sets the box until the first frame.
    EXPECT_EQ(player.box,
              (Rect{67, 503, 67 + big_stand_sprite.width, 503 + big_stand_sprite.height}));
    EXPECT_EQ(objects.entries[0].object, &player);
    std::vector<Seen> again;
    for (int32_t i = 1; i < objects.count; ++i) again.push_back(seen(i));
    EXPECT_EQ(again, at_start);
    EXPECT_TRUE(first_object.expired());  // the earlier attempt's objects are freed
    EXPECT_EQ(level_objects.size(), store_size);

    play_frames(5);
    player.power = 1;
    player.load_sprite_set();
    player.sprite = big_stand_sprite;
    player.start_grace = 21;
    player.anim = 7;
    ASSERT_TRUE(load_next_level(error)) << error;
    EXPECT_EQ(game_state.level_index, 1);
    EXPECT_STREQ(current_map.path, "Maps//level2.map");
    EXPECT_EQ(player.power, 1);
    EXPECT_EQ(player.anim, 7);
    EXPECT_EQ(player.start_grace, 0);
    EXPECT_EQ(player.box, (Rect{67, 472, 99, 544}));  // big, standing on the ground at once
    player.power = 0;
    ASSERT_TRUE(load_next_level(error)) << error;
    EXPECT_EQ(player.y, 502);
}

TEST_F(LevelTest, ThreePipesLeadToTheGameOverScreenAndBackToTheFirstLevel) {
    game_state.in_game = true;
    game_state.score = 4200;
    play_frames(1);
    std::vector<Screen> screens;
    headless::set_present_hook([&](int, const uint32_t*, int, int) {
        if (screens.empty() || screens.back() != current_screen) screens.push_back(current_screen);
    });
    for (int level = 2; level <= 3; ++level) {
        game_state.next_level = true;
        play_frames(1);
        EXPECT_EQ(game_state.level_index, level - 1);
        EXPECT_EQ(game_state.lives, 3);
        EXPECT_TRUE(game_state.in_game);
    }
    game_state.next_level = true;
    play_frames(1);
    headless::set_present_hook(nullptr);
    EXPECT_FALSE(game_state.in_game);
    EXPECT_EQ(game_state.lives, -1);
    EXPECT_EQ(game_state.level_index, 0);
    EXPECT_STREQ(current_map.path, "Maps//level1.map");
    EXPECT_EQ((std::vector<Screen>{Screen::banner, Screen::game, Screen::banner, Screen::game,
                                   Screen::game_over, Screen::game}),
              screens);
    // The game-over screen showed the score; the next call is the menu.
    EXPECT_GT(count_shown(0xFFFFFFFF, 400, 295, 440, 309), 10);
    headless::set_key(DIK_ESCAPE, true);
    EXPECT_FALSE(play_frame());
    EXPECT_EQ(current_screen, Screen::menu);
}

TEST_F(LevelTest, AMapThatCanNoLongerBeReadEndsTheGameWithoutPlayingIt) {
    game_state.in_game = true;
    play_frames(1);
    int32_t count = objects.count;
    auto cells = current_map.map_cells;
    // Levels are read relative to the working folder: from an empty one, none can be.
    auto here = std::filesystem::current_path();
    auto empty = scratch_files::scratch("empty");
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    game_state.next_level = true;
    EXPECT_FALSE(play_frame());
    std::filesystem::current_path(here);
    EXPECT_NE(level_load_error.find("Maps//level2.map"), std::string::npos) << level_load_error;
    EXPECT_EQ(current_map.map_cells, cells);
    EXPECT_EQ(objects.count, count);
    EXPECT_EQ(game_state.level_index, 0);
}
