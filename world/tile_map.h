// The level's terrain: a grid of 32x32-pixel cells, each holding a tile code.
//
// Map row r lies at world y = 32r - 32 (row 0 just above the screen) and column c at x = 32c. Only
// rows 0 to 19 take part in the game; cell_at answers TILE_EMPTY for every other row. A column
// outside the map is not range-tested: it reads on into the neighbouring row of the row-major array,
// as the game always has. No read or write ever leaves the array: an index past either end of it
// reads as TILE_EMPTY and is not written.
//
// Copies share the cells (a copy is a shallow view; installing a new map replaces the cells of
// `current_map` as a whole).
#pragma once

#include "world/geometry.h"

#include <cstdint>
#include <memory>

constexpr int32_t TILE_BRICK = 0;
constexpr int32_t TILE_GROUND = 1;
constexpr int32_t TILE_BLOCK = 2;
constexpr int32_t TILE_EMPTY = 3;  // the only free code
constexpr int32_t TILE_WALKER = 4;
constexpr int32_t TILE_SHELL_WALKER = 5;
constexpr int32_t TILE_COIN_BRICK = 6;
constexpr int32_t TILE_QUESTION = 7;
constexpr int32_t TILE_QUESTION_GROWTH = 8;
constexpr int32_t TILE_HIDDEN = 9;
constexpr int32_t TILE_PIPE0 = 10;
constexpr int32_t TILE_PIPE1 = 11;
constexpr int32_t TILE_PIPE2 = 12;
constexpr int32_t TILE_PIPE3 = 13;
constexpr int32_t TILE_PIPE_ENTRY = 14;

// Rows 0 to 19 are the playing field.
constexpr int32_t playing_rows = 20;

class TileMap {
public:
    char path[64] = {};
    std::shared_ptr<int32_t[]> map_cells;
    int32_t map_width = 0;
    int32_t map_height = 0;

    virtual ~TileMap() = default;

    virtual int32_t cell_at(int32_t col, int32_t row) const;
    // The probe box of pixel cell (col, pixel_row), i.e. map cell (col, pixel_row + 1): the cell's
    // 30x30 interior, or the empty rectangle for a free cell.
    virtual Rect tile_box(int32_t col, int32_t pixel_row) const;
    virtual void clear_cell(int32_t col, int32_t row);
    virtual void block_cell(int32_t col, int32_t row);
    virtual int32_t get_height() const { return map_height; }
    virtual int32_t get_width() const { return map_width; }

    // The cell at a row-major index, TILE_EMPTY past either end of the array.
    int32_t cell(int64_t index) const;
    // Writes a cell at a row-major index; an index outside the array writes nothing.
    void set_cell(int64_t index, int32_t code);
    int64_t index_of(int32_t col, int32_t row) const {
        return static_cast<int64_t>(row) * map_width + col;
    }
};

extern TileMap current_map;
