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

std::vector<std::uint8_t> icon_file(const std::vector<Image>& sizes)
{
    std::vector<std::uint8_t> out;
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    constexpr std::size_t directory = 6, entry = 16, info = 40;
    put(0, 2);  // reserved
    put(1, 2);  // an icon, not a cursor
    put(static_cast<std::uint32_t>(sizes.size()), 2);
    std::size_t offset = directory + entry * sizes.size();
    for (const Image& image : sizes) {
        const auto side = static_cast<std::size_t>(image.width);
        const std::size_t mask_row = (side + 31) / 32 * 4;
        const std::size_t bytes = info + side * side * 4 + mask_row * side;
        put(side == 256 ? 0 : static_cast<std::uint32_t>(side), 1);  // 0 stands for 256
        put(side == 256 ? 0 : static_cast<std::uint32_t>(side), 1);
        put(0, 1);   // no palette
        put(0, 1);   // reserved
        put(1, 2);   // planes
        put(32, 2);  // bits a pixel
        put(static_cast<std::uint32_t>(bytes), 4);
        put(static_cast<std::uint32_t>(offset), 4);
        offset += bytes;
    }
    for (const Image& image : sizes) {
        const int side = image.width;
        const std::size_t mask_row = (static_cast<std::size_t>(side) + 31) / 32 * 4;
        // The bitmap header says twice the height: the pixels, then the mask.
        put(info, 4);
        put(static_cast<std::uint32_t>(side), 4);
        put(static_cast<std::uint32_t>(side * 2), 4);
        put(1, 2);
        put(32, 2);
        put(0, 4);  // uncompressed
        put(static_cast<std::uint32_t>(static_cast<std::size_t>(side) * side * 4 + mask_row * side), 4);
        put(0, 4);
        put(0, 4);
        put(0, 4);
        put(0, 4);
        for (int y = side - 1; y >= 0; --y)  // rows bottom-up, blue first
            for (int x = 0; x < side; ++x)
                put(image.at(x, y), 4);
        for (int y = side - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(mask_row, 0);
            for (int x = 0; x < side; ++x)
                if (image.at(x, y) >> 24 == 0)
                    row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

}  // namespace assets
