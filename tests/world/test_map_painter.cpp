// The map painter on real pictures: where each column lands for a scroll, and which cells each
// painting draws.
#include "core/pictures.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"
#include "world/map_painter.h"

namespace {

// True when the 32-pixel-tall band at screen y shows columns [from, from + n) of the picture at
// screen x.
bool shows(const Sprite& s, int x, int y, int from, int n) {
    for (int r = 0; r < 32; ++r)
        for (int k = 0; k < n; ++k)
            if (pixel(x + k, y + r) != texel(s, from + k, r)) return false;
    return true;
}

}  // namespace

using PainterTest = GameTest;

TEST_F(PainterTest, ColumnsFollowTheScrollWithTheirSubCellOffset) {
    TileMap map = make_map(40, 20);
    map.map_cells[5 * 40 + 0] = TILE_GROUND;   // row 5 lies at y 128
    map.map_cells[5 * 40 + 1] = TILE_BLOCK;
    map.map_cells[5 * 40 + 26] = TILE_GROUND;
    MapPainter painter;

    painter.paint_background(map, 0);
    EXPECT_TRUE(shows(ground_sprite, 0, 128, 0, 32));
    EXPECT_TRUE(shows(block_sprite, 32, 128, 0, 32));
    EXPECT_TRUE(shows(sky_sprite, 64, 128, 0, 32));

    painter.paint_background(map, 40);  // first column 1, 8 pixels into it
    EXPECT_TRUE(shows(block_sprite, 0, 128, 8, 24));
    EXPECT_TRUE(shows(sky_sprite, 24, 128, 0, 32));
    EXPECT_TRUE(shows(ground_sprite, 792, 128, 0, 8));  // column 26 at x 792
    EXPECT_TRUE(shows(sky_sprite, 0, 0, 8, 24));        // row 1 at the top: sky
}

TEST_F(PainterTest, ForegroundDrawsOnlyThePipes) {
    TileMap map = make_map(30, 20);
    map.map_cells[10 * 30 + 2] = TILE_PIPE0;
    map.map_cells[10 * 30 + 3] = TILE_PIPE1;
    map.map_cells[9 * 30 + 2] = TILE_PIPE2;
    map.map_cells[10 * 30 + 4] = TILE_GROUND;
    fill_rect(0, 0, 800, 600, 0xFF123456);
    MapPainter painter;
    painter.paint_foreground(map, 0);
    EXPECT_TRUE(shows(pipe_sprites[0], 64, 288, 0, 32));
    EXPECT_TRUE(shows(pipe_sprites[1], 96, 288, 0, 32));
    EXPECT_EQ(pixel(128, 300), 0xFF123456u);  // ground is not drawn in front
    EXPECT_EQ(pixel(20, 20), 0xFF123456u);
    // The blended top lets the colour behind show where the picture is transparent.
    int behind = 0;
    for (int r = 0; r < 32; ++r)
        for (int k = 0; k < 32; ++k)
            behind += texel(pipe_sprites[2], k, r) == 0 && pixel(64 + k, 256 + r) == 0xFF123456u;
    EXPECT_GT(behind, 0);
}

TEST_F(PainterTest, NarrowAndEmptyMapsAreDrawnWithoutReadingOutside) {
    TileMap narrow = make_map(3, 20);
    narrow.map_cells[19 * 3 + 2] = TILE_GROUND;
    MapPainter painter;
    painter.paint_background(narrow, 0);
    painter.paint_foreground(narrow, 0);
    painter.paint_cell_codes(narrow, 0);
    painter.paint_background(TileMap{}, 0);
    TileMap deep = make_map(30, 25);  // rows below the field are sky
    painter.paint_background(deep, 3 * 32);
    EXPECT_EQ(pixel(0, 576), texel(sky_sprite, 0, 0));
    EXPECT_EQ(pixel(799, 599), texel(sky_sprite, 31, 23));
}
