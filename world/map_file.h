// Map files: reading a level's grid of tile codes, installing it as the map in play, and the
// table of level paths.
//
// A map file is two little-endian int32 sizes (columns, rows) and then columns x rows int32 tile
// codes, row by row from row 0. Files are checked before they are trusted: a missing file, one
// shorter than its sizes say, or sizes that are not positive or absurd are refused with a message.
#pragma once

#include "world/tile_map.h"

#include <cstdint>
#include <span>
#include <string>

// Limits that no level of ours comes near; a larger size means a broken file.
constexpr int32_t max_map_rows = 1000;
constexpr int32_t max_map_columns = 100000;
constexpr int64_t max_map_cells = 10000000;

// The map file of each level_index: the first three levels, then the first again after the last.
extern const char* const level_paths[4];

// Reads a map file into map (path, cells, sizes). On failure leaves map as it
// was and returns false with a message naming the file and the problem in error. path may be
// map.path itself, as when a level is read again.
bool read_map(const char* path, TileMap& map, std::string& error);

// What is wrong with a map of these sizes ("its sizes 0 x 20 hold no cells"), or "" when nothing is.
std::string map_size_problem(int32_t width, int32_t height);

// Reads a map held in memory (a pack's level, compiled or read from its file) into map's cells and
// sizes, leaving its path alone. On failure leaves map as it was and returns false with the problem
// in error, without a file name (the caller knows which file it was).
bool map_from_bytes(std::span<const uint8_t> bytes, TileMap& map, std::string& error);

// Makes a freshly read map the map in play: path, cells and sizes together. fresh may
// be current_map itself, which then stays as it is.
void install_map(const TileMap& fresh);
