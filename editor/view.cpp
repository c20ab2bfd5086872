#include "editor/view.h"

#include "formats/level_text.h"

#include <algorithm>

namespace editor {

namespace {

// Floored, so the pixels left of or above the level's first cell fall outside it.
int floor_div(int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

std::optional<Cell> View::cell_at(int32_t x, int32_t y) const {
    if (y < bar_height || y >= picture_height || x < 0 || x >= picture_width) return std::nullopt;
    const Cell cell{first_column + floor_div(x - left, this->cell), floor_div(y - top, this->cell)};
    if (cell.col < 0 || cell.col >= columns || cell.row < 0 || cell.row >= rows) return std::nullopt;
    return cell;
}

View game_view(int first_column, int columns, int rows) {
    View view;
    view.first_column = first_column;
    view.columns = columns;
    view.rows = rows;
    return view;
}

View zoomed_view(int first_column, int columns, int rows) {
    View view;
    view.columns = columns;
    view.rows = rows;
    const int32_t room = picture_height - bar_height;
    view.cell = std::clamp(std::min(picture_width / std::max(columns, 1), room / std::max(rows, 1)),
                           1, tile);
    const int32_t width = view.cell * columns, height = view.cell * rows;
    view.left = std::max(0, (picture_width - width) / 2);
    view.top = bar_height + std::max(0, (room - height) / 2);
    view.first_column = width > picture_width ? first_column : 0;
    return view;
}

int last_view_column(int columns) { return std::max(0, columns - visible_columns); }

std::optional<int> palette_piece_at(int32_t x, int32_t y) {
    if (y < palette_y || y >= palette_y + tile || x < palette_x) return std::nullopt;
    const int piece = (x - palette_x) / palette_step;
    if (piece >= static_cast<int>(formats::kTileChars.size()) ||
        x - palette_x - piece * palette_step >= tile)
        return std::nullopt;
    return piece;
}

}  // namespace editor
