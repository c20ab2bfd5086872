#include "world/tile_map.h"

TileMap current_map;

int32_t TileMap::cell(int64_t index) const {
    if (!map_cells || index < 0 || index >= static_cast<int64_t>(map_width) * map_height)
        return TILE_EMPTY;
    return map_cells[index];
}

void TileMap::set_cell(int64_t index, int32_t code) {
    if (map_cells && index >= 0 && index < static_cast<int64_t>(map_width) * map_height)
        map_cells[index] = code;
}

int32_t TileMap::cell_at(int32_t col, int32_t row) const {
    if (row < 0 || row >= playing_rows) return TILE_EMPTY;
    return cell(index_of(col, row));
}

Rect TileMap::tile_box(int32_t col, int32_t pixel_row) const {
    if (cell_at(col, pixel_row + 1) == TILE_EMPTY) return Rect{};
    return {cell_size * col + 1, cell_size * pixel_row + 1, cell_size * col + 31,
            cell_size * pixel_row + 31};
}

void TileMap::clear_cell(int32_t col, int32_t row) { set_cell(index_of(col, row), TILE_EMPTY); }

void TileMap::block_cell(int32_t col, int32_t row) { set_cell(index_of(col, row), TILE_HIDDEN); }
