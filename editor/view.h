// Where the level editor puts things on the 800x600 picture: the bar across the top (the palette
// and the status line), and the level's cells below it, as the game draws them or zoomed out.
#pragma once

#include <cstdint>
#include <optional>

namespace editor {

struct Cell {
    int col = 0, row = 0;
    bool operator==(const Cell&) const = default;
};

constexpr int32_t picture_width = 800, picture_height = 600;
constexpr int32_t tile = 32;
// The game shows 25 whole columns, and its camera stops where the last 25 fill the screen.
constexpr int visible_columns = 25;

// The bar: one palette piece every 36 pixels from x 4, the status line under them.
constexpr int32_t bar_height = 48;
constexpr int32_t palette_x = 4, palette_y = 4, palette_step = 36;
constexpr int32_t status_y = 36;

// The level's cells on the picture: cell (c, r) at (left + (c - first_column) * cell,
// top + r * cell), `cell` pixels a side.
struct View {
    int32_t cell = tile;
    int32_t left = 0, top = -tile;
    int first_column = 0;
    int columns = 0, rows = 0;

    int32_t x_of(int col) const { return left + (col - first_column) * cell; }
    int32_t y_of(int row) const { return top + row * cell; }
    // The level's cell under a point of the picture; none over the bar or off the level.
    std::optional<Cell> cell_at(int32_t x, int32_t y) const;
};

// The game's own view: map row r at y = 32r - 32, the columns from `first_column` on.
View game_view(int first_column, int columns, int rows);
// The whole level under the bar, at the largest whole number of pixels a cell that fits (at least
// one: a level wider than the picture then scrolls from `first_column`).
View zoomed_view(int first_column, int columns, int rows);

// The furthest the view scrolls right: as far as the game's camera goes.
int last_view_column(int columns);

// The palette piece (an index of the legend's tile characters) under a point of the picture.
std::optional<int> palette_piece_at(int32_t x, int32_t y);

}  // namespace editor
