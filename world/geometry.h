// The collision geometry every contact in the game reduces to.
//
// A Rect has inclusive pixel edges; all zeros is the empty rectangle that tile probes use for a free
// cell. `overlap` answers which side of the other rectangle this one reaches into: a vertical flag
// (top half, bottom half, or both when it spans it) plus exactly one horizontal flag, all four for
// identical rectangles, or nothing.
#pragma once

#include <cstdint>
#include <optional>

struct Overlap {
    bool top = false;
    bool left = false;
    bool right = false;
    bool bottom = false;
    bool operator==(const Overlap&) const = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const Rect&) const = default;

    std::optional<Overlap> overlap(const Rect& other) const;
    // Only the top and bottom flags of overlap; the horizontal ones stay false.
    Overlap vertical_sides(const Rect& other) const;
};

// Cells are 32 pixels square. Pixel cell (col, row) of a position is (px / 32, py / 32), truncating
// toward zero; it is map cell (col, row + 1), since map row 0 lies above the screen.
constexpr int32_t cell_size = 32;
constexpr int32_t pixel_cell(int32_t pixel) { return pixel / cell_size; }
