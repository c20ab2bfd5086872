// Level previews: a whole level drawn as one picture with the game's own pictures, the way the level
// starts, plus what a designer needs and the game does not show: hidden blocks, the exit trigger and
// the bottom of the screen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace assets {

// Opaque ARGB pixels, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline constexpr std::uint32_t kExitMarkerColour = 0xFFFF0000;

// The 24-bit BMP that compile_picture writes, as pixels; nothing if the bytes are not such a BMP.
std::optional<Image> decode_bmp(std::span<const std::uint8_t> bytes);

// Draws the level in `level_path` with the picture sources NAME.txt in `graphics_dir`. On failure
// the picture is left empty and the result is the one line to print ("file:line:column: message" or
// "file: message").
std::optional<std::string> draw_preview(const std::string& level_path, const std::string& graphics_dir,
                                        Image& picture);

// Where the picture sources are unless told: the `graphics` folder beside the level's folder.
std::string default_graphics_dir(const std::string& level_path);

}  // namespace assets
