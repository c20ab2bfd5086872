#include "play/level.h"

#include "blocks/block.h"
#include "core/game_state.h"
#include "enemies/enemy.h"
#include "player/player.h"
#include "world/level_pack.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/object_list.h"
#include "world/tile_map.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads a map and makes it the map in play; false (nothing installed) when it cannot be read.
bool install_level_map(const char* path, std::string& error) {
    TileMap fresh;
    if (!read_map(path, fresh, error)) return false;
    install_map(fresh);
    return true;
}

// Makes a copy of these cells, the level as it was loaded, the map in play: play changes its cells.
void install_fresh(const TileMap& fresh) {
    const auto count = static_cast<size_t>(fresh.map_width) * static_cast<size_t>(fresh.map_height);
    TileMap copy;  // no path: the level is loaded again from memory, not from a file
    copy.map_cells = std::shared_ptr<int32_t[]>(new int32_t[count]);
    std::copy_n(fresh.map_cells.get(), count, copy.map_cells.get());
    copy.map_width = fresh.map_width;
    copy.map_height = fresh.map_height;
    install_map(copy);
}

// The hero first in the emptied list, placed at the level's start.
void place_hero(int32_t y) {
    player.x = Player::start_x;
    player.set_y(y);
    objects.append(&player, KIND_PLAYER);
}


}  // namespace

void populate_level() {
    TileMap& map = current_map;
    for (int32_t col = 0; col < map.map_width; ++col) {
        for (int32_t row = 0; row < std::min(map.map_height, playing_rows); ++row) {
            int64_t index = map.index_of(col, row);
            int32_t x = cell_size * col;
            int32_t y = cell_size * row - cell_size;
            auto block = [&](int32_t type, int32_t content) {
                objects.append(make_level_object<Block>(x, y, type, content), KIND_BLOCK);
            };
            auto enemy = [&](int16_t type) {
                objects.append(make_level_object<Enemy>(x, y, type), KIND_ENEMY);
                map.set_cell(index, TILE_EMPTY);
            };
            switch (map.cell(index)) {
                case TILE_BRICK: objects.append(make_level_object<Block>(x, y), KIND_BLOCK); break;
                case TILE_WALKER: enemy(ENEMY_WALKER); break;
                case TILE_SHELL_WALKER: enemy(ENEMY_SHELL_WALKER); break;
                case TILE_COIN_BRICK: block(BLOCK_COIN_BRICK, CONTENT_COIN); break;
                case TILE_QUESTION: block(BLOCK_QUESTION, CONTENT_COIN); break;
                case TILE_QUESTION_GROWTH: block(BLOCK_QUESTION, CONTENT_GROWTH); break;
                case TILE_HIDDEN:
                    block(BLOCK_HIDDEN, CONTENT_COIN);
                    map.set_cell(index, TILE_EMPTY);  // free space until it is found
                    break;
                case TILE_PIPE_ENTRY:
                    // The trigger sits on the cell's bottom edge at its right edge: the top of the
                    // exit pipe, between its two top pieces.
                    objects.append(make_level_object<PipeEntrance>(x + cell_size, y + cell_size),
                                   KIND_PIPE);
                    map.set_cell(index, TILE_EMPTY);
                    break;
                default:
                    break;
            }
        }
    }
}

bool reload_level(std::string& error) {
    if (level_source.fresh.map_cells) {
        install_fresh(level_source.fresh);
    } else {
        char path[sizeof current_map.path];
        std::memcpy(path, current_map.path, sizeof path);
        if (!install_level_map(path, error)) return false;
    }
    clear_level();
    player = Player{};  // power, timers, velocities and animation all start over
    place_hero(Player::start_y);
    populate_level();
    return true;
}

void install_pack_level(int32_t index) {
    level_source = LevelSource{level_pack.levels.at(static_cast<size_t>(index)).map};
    install_fresh(level_source.fresh);
}

void start_level_at(const TileMap& map, int32_t col, int32_t row, int32_t scroll) {
    // A fresh hero stands at x 67 in column 2 with its feet on map row 17's bottom edge.
    constexpr int32_t start_column = 2, start_row = 17;
    level_source = LevelSource{map};  // what the trace compares the cells in play with
    install_fresh(level_source.fresh);
    clear_level();
    player = Player{};
    // The picture its first frame would choose, for the picture drawn before that frame runs.
    player.sprite = player.spr_stand;
    player.scroll = scroll;
    player.x = Player::start_x + cell_size * (col - start_column) - scroll;
    player.set_y(Player::start_y + cell_size * (row - start_row));
    objects.append(&player, KIND_PLAYER);
    populate_level();
}

bool load_next_level(std::string& error) {
    // After the last level comes the first again, behind the game-over screen.
    const int32_t count = level_count();
    int32_t next = std::clamp(game_state.level_index + 1, 1, count);
    if (level_pack.levels.empty()) {
        if (!install_level_map(level_paths[next], error)) return false;
        level_source = LevelSource{};
    } else {
        install_pack_level(next % count);
    }
    game_state.level_index = next;
    if (next == count) game_state.lives = -1;
    clear_level();
    player.reset();  // the hero keeps its power and pictures
    player.scroll = 0;
    place_hero(player.power > 0 ? Player::next_level_big_y : Player::next_level_small_y);
    populate_level();
    return true;
}
