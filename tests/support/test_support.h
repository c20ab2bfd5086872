// Test fixtures: each test starts from program start on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include "render/sprite.h"
#include "world/tile_map.h"

#include <cstdint>
#include <string>
#include <vector>

// Program-wide state reset, headless clock and input reset, the 800x600 device created.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// As DeviceTest, plus every picture and the font loaded from the built data folder (the tests run
// there), as start-up leaves them; the keyboard and mouse are open.
class GameTest : public DeviceTest {
protected:
    void SetUp() override;
};

// The back buffer's pixel at (x, y).
uint32_t pixel(int x, int y);
// The texel at (x, y) of a loaded picture.
uint32_t texel(const Sprite& sprite, int x, int y);
// The pixel at (x, y) of the picture shown by the last present.
uint32_t shown_pixel(int x, int y);
// How many pixels of the last shown picture inside the rectangle have exactly this colour.
int count_shown(uint32_t colour, int left, int top, int right, int bottom);

// A width x height map with every cell holding `fill`.
TileMap make_map(int32_t width, int32_t height, int32_t fill = TILE_EMPTY);

// Writes bytes to a file of this name in the test's own folder and returns its path.
std::string write_temp_file(const std::string& name, const std::string& bytes);

// A BMP file written by hand, width x |height| pixels given row by row from the top: palette
// indices for 1, 4 and 8 bits, ARGB for 24 and 32 (alpha kept at 32). A negative height stores the
// rows top-down, as the format says; otherwise they are stored bottom-up.
std::string bmp_file(int width, int height, int bits, const std::vector<uint32_t>& pixels,
                     const std::vector<uint32_t>& palette = {});

// The most memory this test process has held at any moment so far, in kilobytes.
long peak_memory_kb();
