#include "tools/assets/icon.h"

namespace assets {

namespace {

constexpr std::size_t headers_size = 14 + 40;  // what compile_picture writes before the pixels
constexpr std::uint32_t clear = 0xFFFFFF;      // the pictures' white, which the game keys out

std::uint32_t read_le(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

std::optional<std::string> draw_icon(const std::vector<std::uint8_t>& bmp, int size, Image& icon)
{
    const int side = static_cast<int>(read_le(bmp, 18));
    if (side != static_cast<int>(read_le(bmp, 22)))
        return "an icon must be square";
    if (size < side || size % side != 0)
        return "an icon of " + std::to_string(side) + " pixels is drawn at whole multiples of it, not " +
               std::to_string(size);
    const int scale = size / side;
    const std::size_t stride = (static_cast<std::size_t>(side) * 3 + 3) / 4 * 4;
    icon.width = icon.height = size;
    icon.pixels.assign(static_cast<std::size_t>(size) * size, 0);
    for (int y = 0; y < size; ++y) {
        // Rows are stored bottom-up, three bytes a pixel, blue first.
        const std::size_t row = headers_size + static_cast<std::size_t>(side - 1 - y / scale) * stride;
        for (int x = 0; x < size; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x / scale) * 3;
            const std::uint32_t rgb = bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16;
            icon.at(x, y) = rgb == clear ? 0 : 0xFF000000 | rgb;
        }
    }
    return std::nullopt;
}

}  // namespace assets
