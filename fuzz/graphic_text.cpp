// The picture and font compilers of brickrun-assets on the same text: what each accepts must be the
// file the game reads (a BMP of the size the source declares, read back to its pixels; a strip of
// grey pixels), and a square picture must make an icon of its pixels, white clear; what each
// refuses names a place in the source.
#include "fuzz/support.h"
#include "tools/assets/font.h"
#include "tools/assets/icon.h"
#include "tools/assets/picture.h"
#include "tools/assets/preview.h"

#include <cstdint>
#include <string_view>

namespace {

uint32_t u32(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

void refused_at_a_place(const assets::Compiled& result) {
    fuzz::expect(result.error->line >= 1 && result.error->column >= 1 && !result.error->message.empty(),
                 "a refused source names a line, a column and what is wrong");
}

void picture(std::string_view source) {
    const assets::Compiled result = assets::compile_picture(source);
    if (result.error) {
        refused_at_a_place(result);
        return;
    }
    const std::vector<uint8_t>& bmp = result.bytes;
    fuzz::expect(bmp.size() >= 54 && bmp[0] == 'B' && bmp[1] == 'M' && u32(bmp, 2) == bmp.size(),
                 "a picture is a BMP file that says its own length");
    const uint32_t width = u32(bmp, 18), height = u32(bmp, 22);
    fuzz::expect(width >= 1 && width <= assets::kMaxPictureSize && height >= 1 &&
                     height <= assets::kMaxPictureSize,
                 "a picture is 1 to 4096 pixels a side");
    if (uint64_t{width} * height > (1u << 16)) return;  // reading back is for the small ones
    const auto image = assets::decode_bmp(bmp);
    fuzz::expect(image && image->width == static_cast<int>(width) &&
                     image->height == static_cast<int>(height),
                 "a compiled picture reads back at its size");
    if (width != height) return;
    assets::Image icon;
    fuzz::expect(!assets::draw_icon(bmp, static_cast<int>(width) * 2, icon),
                 "a square picture makes an icon of twice its side");
    for (int y = 0; y < icon.height; ++y)
        for (int x = 0; x < icon.width; ++x) {
            const uint32_t pixel = image->at(x / 2, y / 2) & 0xFFFFFF;
            fuzz::expect(icon.at(x, y) == (pixel == 0xFFFFFF ? 0 : 0xFF000000 | pixel),
                         "an icon shows its picture's pixels, white clear");
        }
}

void font(std::string_view source) {
    const assets::Compiled result = assets::compile_font(source);
    if (result.error) {
        refused_at_a_place(result);
        return;
    }
    fuzz::expect(!result.bytes.empty() && result.bytes.size() % 3 == 0,
                 "a font strip is whole pixels of three bytes");
    for (size_t i = 0; i < result.bytes.size(); i += 3)
        fuzz::expect(result.bytes[i] == result.bytes[i + 1] && result.bytes[i] == result.bytes[i + 2],
                     "a font strip is grey");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    picture(source);
    font(source);
    return 0;
}
