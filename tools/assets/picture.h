// Pictures: pixel art written as text with a palette, compiled to a 24-bit BMP file.
//
//   picture 32 32       size of the bitmap in pixels (at most 4096 each way)
//   scale 2             optional: each character is a 2x2 block of pixels
//   colour . 5C94FC     a palette character and its colour as RRGGBB
//   ................    then height/scale rows of width/scale palette characters
#pragma once

#include <string_view>

#include "tools/assets/text.h"

namespace assets {

inline constexpr int kMaxPictureSize = 4096;  // pixels, each way

// The bytes of an uncompressed 24-bit bottom-up BMP, or the first error in the source.
Compiled compile_picture(std::string_view source);

}  // namespace assets
