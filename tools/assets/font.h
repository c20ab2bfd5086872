// The font: 96 glyphs (character codes 32 to 127) drawn as text, compiled to the game's raw glyph strip.
//
//   strip 648 12        strip width and height in pixels
//   glyph 65            then exactly `height` rows of equal width: '.' grey 0, '+' grey 128, '#' grey 255
//
// The strip holds, for each glyph from code 32 on: one blank column, the glyph's columns, and a
// separator column whose top pixel is 255. The game finds each glyph's width by scanning the top row
// for those separators, so no glyph may have '#' in its top row.
#pragma once

#include <string_view>

#include "tools/assets/text.h"

namespace assets {

inline constexpr int kFirstGlyph = 32;
inline constexpr int kLastGlyph = 127;
inline constexpr int kMaxStripSize = 4096;  // pixels, each way

// The strip's bytes (height rows top first, width pixels each, 3 equal bytes per pixel), or the
// first error in the source.
Compiled compile_font(std::string_view source);

}  // namespace assets
