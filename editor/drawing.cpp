#include "editor/drawing.h"

#include "core/pictures.h"
#include "formats/level_text.h"
#include "render/font.h"
#include "render/sprite.h"
#include "world/map_painter.h"

#include <algorithm>
#include <string>

namespace editor {

namespace {

constexpr uint32_t sky_colour = 0xFF00C0FF;  // the game's sky behind the map
constexpr uint32_t grid_colour = 0x28000000;
constexpr uint32_t past_end_colour = 0x90000000;
constexpr uint32_t outside_colour = 0xFF004860;  // the sky under past_end_colour
constexpr uint32_t problem_colour = 0xFFFF2020;
constexpr uint32_t warning_colour = 0xFFFF9020;
constexpr uint32_t pointer_colour = 0xFFFFFFFF;
constexpr uint32_t fill_colour = 0x60FFFF40;
constexpr uint32_t bar_colour = 0xFF202028;  // opaque: a see-through bar costs a blend a pixel
constexpr uint32_t selected_colour = 0xFFFFE040;
constexpr uint32_t text_colour = 0xFFFFFFFF;
constexpr uint32_t question_colour = 0xFFFFE040;
constexpr uint32_t marker_colour = 0xFFFFD000;
constexpr int32_t shell_rise = 26;  // a shell walker stands 26 pixels above its cell

void frame(int32_t x, int32_t y, int32_t w, int32_t h, int32_t thick, uint32_t colour) {
    fill_rect(x, y, w, thick, colour);
    fill_rect(x, y + h - thick, w, thick, colour);
    fill_rect(x, y + thick, thick, h - 2 * thick, colour);
    fill_rect(x + w - thick, y + thick, thick, h - 2 * thick, colour);
}

// The pipe entrance has no picture of its own in play: an arrow pointing down the pipe.
void draw_entrance(int32_t x, int32_t y, int32_t size) {
    if (size < 8) {
        fill_rect(x, y, size, size, marker_colour);
        return;
    }
    fill_rect(x + size * 3 / 8, y + size / 8, size / 4, size * 3 / 8, marker_colour);
    for (int32_t i = 0; i < 4; ++i) {
        const int32_t inset = size / 8 + i * size / 16;
        fill_rect(x + inset, y + size / 2 + i * size / 12, size - 2 * inset, size / 12 + 1,
                  marker_colour);
    }
}

const Sprite* tile_picture(char piece) {
    switch (piece) {
        case 'B': case 'C': return &brick_sprite;
        case '=': return &ground_sprite;
        case 'X': return &block_sprite;
        case '?': case 'G': case 'H': return &question_sprites[0];
        case 'w': return &walker_sprite;
        case '[': return &pipe_sprites[0];
        case ']': return &pipe_sprites[1];
        case '{': return &pipe_sprites[2];
        case '}': return &pipe_sprites[3];
        default: return nullptr;
    }
}

// What a block holds, small in its middle: a coin or the growth crystal.
void draw_content(char piece, int32_t x, int32_t y, int32_t size) {
    if (piece == 'C')
        draw_sprite_scaled(x + size * 10 / 32, y + size * 8 / 32, coin_sprites[0], size * 12 / 32,
                           size * 16 / 32);
    if (piece == 'G')
        draw_sprite_scaled(x + size / 4, y + size / 4, growth_sprite, size / 2, size / 2);
}

// The pieces the game makes objects of, over the map the painter drew: at the game's size and
// place for the object, its picture.
void draw_object(char piece, int32_t x, int32_t y) {
    switch (piece) {
        case 's': draw_sprite(x, y - shell_rise, shell_walker_sprites[0]); break;
        case 'v': draw_entrance(x, y, tile); break;
        case 'H': draw_sprite_tinted(x, y, question_sprites[0], tile, tile, 0x60FFFFFF); break;
        case 'B': case 'C': case '?': case 'G': case 'w':
            draw_sprite(x, y, *tile_picture(piece));
            draw_content(piece, x, y, tile);
            break;
        default: break;
    }
}

TileMap painted_map(const LevelDocument& document, int first, int count) {
    TileMap map;
    map.map_width = count;
    map.map_height = document.height();
    map.map_cells =
        std::shared_ptr<int32_t[]>(new int32_t[static_cast<size_t>(count) * map.map_height]);
    for (int row = 0; row < map.map_height; ++row) {
        for (int i = 0; i < count; ++i) {
            const char piece = first + i < document.width() ? document.at(first + i, row) : '.';
            const size_t code = formats::kTileChars.find(piece);
            map.set_cell(map.index_of(i, row),
                         code == std::string_view::npos ? TILE_EMPTY : static_cast<int32_t>(code));
        }
    }
    return map;
}

// The cells the view shows, each given to draw(col, row, x, y).
template <class Draw>
void for_each_shown_cell(const View& view, Draw draw) {
    const int last = std::min(view.columns, view.first_column + picture_width / view.cell + 1);
    for (int row = 0; row < view.rows; ++row) {
        const int32_t y = view.y_of(row);
        if (y + view.cell <= bar_height || y >= picture_height) continue;
        for (int col = view.first_column; col < last; ++col) draw(col, row, view.x_of(col), y);
    }
}

void draw_level(const Editor& editor, const View& view) {
    const LevelDocument& document = editor.document();
    if (editor.zoomed()) {
        // Sky where the level is, dark around it. (Unzoomed, the painter covers the picture.)
        fill_rect(0, 0, picture_width, picture_height, outside_colour);
        fill_rect(view.left, view.top, view.columns * view.cell, view.rows * view.cell, sky_colour);
        for_each_shown_cell(view, [&](int col, int row, int32_t x, int32_t y) {
            const char piece = document.at(col, row);
            if (piece != '.') draw_piece(piece, x, y, view.cell);
        });
    } else {
        // The game's own painter, on the columns shown, for the terrain; the objects over it.
        MapPainter painter;
        painter.paint_background(painted_map(document, view.first_column, visible_columns + 1), 0);
        for_each_shown_cell(view, [&](int col, int row, int32_t x, int32_t y) {
            draw_object(document.at(col, row), x, y);
        });
    }
    const int32_t right = view.x_of(view.columns), bottom = view.y_of(view.rows);
    const int32_t top = std::max(view.y_of(0), bar_height);
    if (view.cell >= 4) {
        const int32_t grid_right = std::min(right, picture_width);
        const int32_t grid_left = std::max(view.left, 0);
        for (int32_t x = view.x_of(view.first_column); x < grid_right; x += view.cell)
            fill_rect(x, top, 1, std::min(bottom, picture_height) - top, grid_colour);
        for (int row = 0; row < view.rows; ++row) {
            const int32_t y = view.y_of(row);
            if (y >= top && y < picture_height)
                fill_rect(grid_left, y, grid_right - grid_left, 1, grid_colour);
        }
    }
    if (!editor.zoomed() && right < picture_width)
        fill_rect(right, bar_height, picture_width - right, picture_height - bar_height,
                  past_end_colour);
    if (editor.zoomed()) {
        const int32_t x = view.x_of(editor.view_column());
        frame(x, view.y_of(0), visible_columns * view.cell, view.rows * view.cell, 1, pointer_colour);
    }
}

void draw_marks(const Editor& editor, const View& view) {
    const int32_t thick = view.cell >= 8 ? 2 : 1;
    // Around a cell too small to show a frame inside it, the frame goes round it.
    const int32_t out = view.cell >= 8 ? 0 : 2;
    for (const Problem& problem : editor.problems()) {
        if (problem.col < 0) continue;
        frame(view.x_of(problem.col) - out, view.y_of(problem.row) - out, view.cell + 2 * out,
              view.cell + 2 * out, thick, problem.warning ? warning_colour : problem_colour);
    }
    if (auto corners = editor.fill_rectangle()) {
        const auto [a, b] = *corners;
        const int c0 = std::min(a.col, b.col), c1 = std::max(a.col, b.col);
        const int r0 = std::min(a.row, b.row), r1 = std::max(a.row, b.row);
        fill_rect(view.x_of(c0), view.y_of(r0), (c1 - c0 + 1) * view.cell, (r1 - r0 + 1) * view.cell,
                  fill_colour);
    }
    if (auto cell = editor.pointer_cell())
        frame(view.x_of(cell->col), view.y_of(cell->row), view.cell, view.cell, thick, pointer_colour);
}

void draw_bar(const Editor& editor) {
    fill_rect(0, 0, picture_width, bar_height, bar_colour);
    const std::string_view pieces = formats::kTileChars;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const int32_t x = palette_x + static_cast<int32_t>(i) * palette_step;
        fill_rect(x, palette_y, tile, tile, sky_colour);
        draw_piece(pieces[i], x, palette_y, tile);
        if (pieces[i] == editor.selected())
            frame(x - 2, palette_y - 2, tile + 4, tile + 4, 2, selected_colour);
    }
    const int32_t info_x = palette_x + static_cast<int32_t>(pieces.size()) * palette_step + 4;
    const std::string chosen = std::string(1, editor.selected()) + "  " + piece_name(editor.selected());
    draw_text(info_x, 6, chosen.c_str(), game_font, text_colour);
    std::string where = "undo " + std::to_string(editor.document().undo_depth());
    if (auto cell = editor.pointer_cell())
        where = "col " + std::to_string(cell->col + 1) + " row " + std::to_string(cell->row + 1) +
                "  " + where;
    if (editor.unsaved()) where += "  *";
    draw_text(info_x, 20, where.c_str(), game_font, text_colour);
    const bool asking = editor.question() != Question::none;
    draw_text(palette_x, status_y, editor.status().c_str(), game_font,
              asking ? question_colour : text_colour);
}

}  // namespace

const char* piece_name(char piece) {
    switch (piece) {
        case 'B': return "brick";
        case '=': return "ground";
        case 'X': return "block";
        case '.': return "empty";
        case 'w': return "walker";
        case 's': return "shell walker";
        case 'C': return "coin brick";
        case '?': return "question block";
        case 'G': return "growth block";
        case 'H': return "hidden block";
        case '[': return "pipe left";
        case ']': return "pipe right";
        case '{': return "pipe top left";
        case '}': return "pipe top right";
        case 'v': return "pipe entrance";
        default: return "?";
    }
}

void draw_piece(char piece, int32_t x, int32_t y, int32_t size) {
    if (piece == '.') {
        draw_sprite_scaled(x, y, sky_sprite, size, size);
    } else if (piece == 's') {
        const Sprite& shell = shell_walker_sprites[0];
        const int32_t w = shell.height > 0 ? std::max(1, size * shell.width / shell.height) : size;
        draw_sprite_scaled(x + (size - w) / 2, y, shell, w, size);
    } else if (piece == 'v') {
        draw_entrance(x, y, size);
    } else if (piece == 'H') {
        draw_sprite_tinted(x, y, question_sprites[0], size, size, 0x60FFFFFF);
    } else if (const Sprite* picture = tile_picture(piece)) {
        draw_sprite_scaled(x, y, *picture, size, size);
        draw_content(piece, x, y, size);
    }
}

void draw_editor(const Editor& editor) {
    const View view = editor.view();
    draw_level(editor, view);
    draw_marks(editor, view);
    draw_bar(editor);
}

}  // namespace editor
