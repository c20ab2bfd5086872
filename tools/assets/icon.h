// Program icons: a square picture source (assets/icon.txt) drawn at the sizes desktops ask for,
// each a whole multiple of its side, so every pixel stays a sharp square; white is clear.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/assets/preview.h"

namespace assets {

// The icon at size x size ARGB pixels from a picture compiled by compile_picture, or what is wrong.
std::optional<std::string> draw_icon(const std::vector<std::uint8_t>& bmp, int size, Image& icon);

// A Windows icon file holding the icon at each of its sizes (1 to 256 pixels a side): 32-bit
// pixels, and the mask older Windows draws clear pixels by.
std::vector<std::uint8_t> icon_file(const std::vector<Image>& sizes);

}  // namespace assets
