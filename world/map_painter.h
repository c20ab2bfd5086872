// Draws the tile map, scrolled horizontally: the whole background behind the world objects each
// frame, and the pipes a second time in front of the hero.
#pragma once

#include "render/sprite.h"
#include "world/tile_map.h"

#include <cstdint>

class MapPainter {
public:
    virtual ~MapPainter() = default;

    virtual void paint(const Sprite& sprite, int32_t x, int32_t y);
    // Flipped left to right over the same pixels.
    virtual void paint_mirrored(const Sprite& sprite, int32_t x, int32_t y);
    // A debug view: every cell's code as a number, row r at y = 32r, the first column at x = 0.
    virtual void paint_cell_codes(const TileMap& map, int32_t first_column);
    // Every row, 26 columns from the one under the left screen edge; rows off the screen are sky.
    virtual void paint_background(const TileMap& map, int32_t scroll);
    // The pipe cells only, at the same places as paint_background.
    virtual void paint_foreground(const TileMap& map, int32_t scroll);
};
