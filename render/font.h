// The game's one proportional bitmap font and its text drawing.
//
// The font is a raw greyscale strip of the 96 glyphs for codes 32 to 127; row 0 marks the end of each
// glyph with a full-ink separator pixel. Each character is one quad: a glyph of w texture columns is
// stretched over w + 1 screen pixels and the strip's rows over height + 1, and the pen then moves
// by w + spacing.
#pragma once

#include "render/sprite.h"

#include <cstdint>

struct Font {
    Sprite sprite;  // the glyph strip; its width and height are the strip's size
    int32_t glyph_start[256] = {};
    int32_t glyph_width[256] = {};
    int32_t spacing = 0;
};

extern Font game_font;

// Reads the strip and measures the glyphs. A missing file leaves the font as it was (an empty font
// draws every character as one dot); a short file reads as background where it ends.
void load_font(const char* path, Font& font, int32_t width, int32_t height, int32_t spacing);

// Codes 128 to 255 have no glyph: they draw nothing and move the pen by the spacing.
void draw_text(int32_t x, int32_t y, const char* text, const Font& font, uint32_t colour);
void draw_number(int32_t x, int32_t y, int32_t value, const Font& font, uint32_t colour);
