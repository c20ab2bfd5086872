#include "world/map_painter.h"

#include "core/pictures.h"
#include "render/font.h"
#include "render/graphics.h"

#include <cmath>

namespace {

// Rows whose top lies above -32 or below 576 are off the screen: drawn as sky without a look at
// the cell (the background) or skipped (the pipes in front).
constexpr int32_t top_visible_y = -32;
constexpr int32_t bottom_visible_y = 576;

// Calls draw(x, y, code, visible) for each cell the screen shows at this scroll, row by row.
template <class Draw>
void for_each_screen_cell(const TileMap& map, int32_t scroll, Draw draw) {
    if (map.map_height <= 0) return;
    int32_t first = scroll / cell_size;
    auto offset = static_cast<int32_t>(std::fmod(scroll, 32.0));
    int32_t count = screen_width / cell_size + 1;
    for (int32_t r = 0; r < map.map_height; ++r) {
        int32_t y = cell_size * r - cell_size;
        bool visible = y >= top_visible_y && y <= bottom_visible_y;
        for (int32_t c = first; c < first + count; ++c) {
            int32_t x = cell_size * (c - first) - offset;
            draw(x, y, visible ? map.cell(map.index_of(c, r)) : TILE_EMPTY, visible);
        }
    }
}

bool is_opaque_pipe(int32_t code) { return code == TILE_PIPE0 || code == TILE_PIPE1; }
bool is_blended_pipe(int32_t code) { return code == TILE_PIPE2 || code == TILE_PIPE3; }

}  // namespace

void MapPainter::paint(const Sprite& sprite, int32_t x, int32_t y) { draw_sprite(x, y, sprite); }

void MapPainter::paint_mirrored(const Sprite& sprite, int32_t x, int32_t y) {
    draw_sprite_tinted(x + sprite.width, y, sprite, -sprite.width, sprite.height, 0xFFFFFFFF);
}

void MapPainter::paint_background(const TileMap& map, int32_t scroll) {
    for_each_screen_cell(map, scroll, [](int32_t x, int32_t y, int32_t code, bool) {
        if (code == TILE_GROUND) {
            draw_sprite_opaque(x, y, ground_sprite);
        } else if (code == TILE_BLOCK) {
            draw_sprite_opaque(x, y, block_sprite);
        } else if (is_opaque_pipe(code)) {
            draw_sprite_opaque(x, y, pipe_sprites[code - TILE_PIPE0]);
        } else if (is_blended_pipe(code)) {
            draw_sprite(x, y, pipe_sprites[code - TILE_PIPE0]);
        } else {
            draw_sprite_opaque(x, y, sky_sprite);
        }
    });
}

void MapPainter::paint_foreground(const TileMap& map, int32_t scroll) {
    for_each_screen_cell(map, scroll, [](int32_t x, int32_t y, int32_t code, bool visible) {
        if (!visible) return;
        if (is_opaque_pipe(code)) draw_sprite_opaque(x, y, pipe_sprites[code - TILE_PIPE0]);
        if (is_blended_pipe(code)) draw_sprite(x, y, pipe_sprites[code - TILE_PIPE0]);
    });
}

void MapPainter::paint_cell_codes(const TileMap& map, int32_t first_column) {
    // Bounded to the map's own columns: the screen-wide range would run past the array.
    for (int32_t r = 0; r < map.map_height; ++r) {
        for (int32_t c = first_column; c < map.map_width; ++c) {
            int32_t code = r < playing_rows ? map.cell(map.index_of(c, r)) : TILE_EMPTY;
            draw_number(cell_size * (c - first_column), cell_size * r, code, game_font, 0xFFFFFFFF);
        }
    }
}
