// Levels in play: turning a map's object cells into objects, restarting the level after a lost
// life, and moving on to the next level (of the three built-in maps, or of the pack in play). Each
// load is followed by the level banner (or the game-over screen), which the game flow shows.
#pragma once

#include "world/tile_map.h"

#include <cstdint>
#include <string>

// Appends one object per object cell of current_map (column by column, top to bottom within a
// column, rows 0 to 19 only) to the object list, and empties the cells of enemies, hidden blocks
// and pipe entrances.
void populate_level();

// Restarts the level in play with a fresh hero. False, with the reason in error and nothing
// changed, when the map cannot be read again.
bool reload_level(std::string& error);

// Starts play on a map made in memory (the level editor's), as a restart does, with a fresh hero
// standing in cell (col, row), its feet on the cell's bottom edge, and the camera at `scroll`. The
// map becomes the level's source: a restart after a lost life loads its cells again, with the hero
// at the level's start.
void start_level_at(const TileMap& map, int32_t col, int32_t row, int32_t scroll);

// Advances level_index and loads its map (after the last level the game is over, and the first
// level is loaded again behind the game-over screen), keeping the hero's power. False, with the
// reason in error, when the map cannot be read.
bool load_next_level(std::string& error);

// Makes the pack's level `index` (from 0) the level in play: its source for restarts, and a fresh
// copy of its cells the map in play. Its objects are made by populate_level, as for any load.
void install_pack_level(int32_t index);

