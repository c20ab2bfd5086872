// The cells of the map in play as its file holds them (or, for a level loaded from memory, a pack's
// or the level editor's, as it was loaded), for comparing with the cells the game has changed. The
// file is read again whenever the cells in play are replaced (a level load).
#pragma once

#include "world/tile_map.h"

#include <cstdint>
#include <memory>

class FileCells {
public:
    // The file's code at a row-major index of `map`, or -1 past the end of what the file holds
    // (or when it no longer reads).
    int32_t at(const TileMap& map, int64_t index);

private:
    // Holding the cells seen last keeps their address from being reused by the next map.
    std::shared_ptr<int32_t[]> seen_cells;
    std::shared_ptr<int32_t[]> file_cells;
    int64_t file_cell_count = 0;
};
