// The asset compiler's pictures, font strip and icons, checked against what the game reads back.
#include "tests/tools/asset_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/assets/font.h"
#include "tools/assets/icon.h"
#include "tools/assets/picture.h"

namespace {

using asset_checks::fails_at;
using asset_checks::int_at;
using assets::Compiled;

// ---- the font strip -------------------------------------------------------------------------------

// A font whose glyph `code` is width(code) columns wide: a '+' top row, then rows of '#'.
template <typename Width>
std::string font_source(Width width, int strip_width = 648, int height = 12)
{
    std::string text = "# test font\nstrip " + std::to_string(strip_width) + " " + std::to_string(height) + "\n";
    for (int code = 32; code <= 127; ++code) {
        const auto columns = static_cast<std::size_t>(width(code));
        text += "\nglyph " + std::to_string(code) + "\n" + std::string(columns, '+') + "\n";
        for (int row = 1; row < height; ++row)
            text += std::string(columns, '#') + "\n";
    }
    return text;
}

struct Measured {
    int start;
    int width;
};

// How the game measures the strip: for each code from 32, start = j + 1, k = the first column from j
// whose top pixel (third byte) is 255, width = k - j - 1, j = k + 1.
std::vector<Measured> measure(const std::vector<std::uint8_t>& strip, int strip_width)
{
    std::vector<Measured> glyphs;
    int j = 0;
    for (int code = 32; code <= 127; ++code) {
        int k = j;
        while (k < strip_width && strip.at(3 * static_cast<std::size_t>(k) + 2) != 255)
            ++k;
        if (k == strip_width)
            break;
        glyphs.push_back({j + 1, k - j - 1});
        j = k + 1;
    }
    return glyphs;
}

TEST(Font, GameMeasuresEveryGlyphBack)
{
    const auto width = [](int code) { return code == 'A' ? 4 : 1 + code % 5; };
    const Compiled result = assets::compile_font(font_source(width));
    ASSERT_FALSE(result.error) << result.error->message;
    ASSERT_EQ(result.bytes.size(), 648u * 12 * 3);

    const auto glyphs = measure(result.bytes, 648);
    ASSERT_EQ(glyphs.size(), 96u);
    EXPECT_EQ(glyphs[0].start, 1);
    EXPECT_EQ(glyphs['A' - 32].width, 4);
    for (int code = 32; code <= 127; ++code)
        EXPECT_EQ(glyphs[static_cast<std::size_t>(code - 32)].width, width(code)) << "glyph " << code;

    const auto grey = [&](int x, int y) {
        const std::size_t at = 3 * (static_cast<std::size_t>(y) * 648 + static_cast<std::size_t>(x));
        EXPECT_TRUE(result.bytes[at] == result.bytes[at + 2] && result.bytes[at + 1] == result.bytes[at + 2]);
        return result.bytes[at + 2];
    };
    EXPECT_EQ(grey(0, 0), 0);    // the blank column before the space glyph
    EXPECT_EQ(grey(0, 5), 0);
    EXPECT_EQ(grey(1, 0), 128);  // '+'
    EXPECT_EQ(grey(1, 1), 255);  // '#'
    const Measured& last = glyphs.back();
    EXPECT_EQ(grey(last.start + last.width, 1), 0);  // a separator is ink only in the top row
    for (int x = last.start + last.width + 1; x < 648; ++x)
        EXPECT_EQ(grey(x, 0), 0) << "column " << x;
}

TEST(Font, RejectsGlyphsTheGameWouldMisread)
{
    // 96 glyphs of 5 columns need 96 x 7 = 672 columns; 72 of 5 and 24 of 4 fill 648 exactly.
    const Compiled overflow = assets::compile_font(font_source([](int) { return 5; }));
    ASSERT_TRUE(overflow.error);
    EXPECT_NE(overflow.error->message.find("does not fit"), std::string::npos);
    EXPECT_FALSE(assets::compile_font(font_source([](int code) { return code < 104 ? 5 : 4; })).error);

    const std::string head = "strip 100 2\n";
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n.+#.\n....\n"), 3, 3));
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n.+.\n.*.\n"), 4, 2));
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n...\n....\n"), 4, 1));
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n...\nglyph 33\n...\n...\n"), 4, 1));
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 33\n...\n...\n"), 2, 7));
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n.\n.\nglyph 32\n.\n.\n"), 5, 7));
    EXPECT_TRUE(fails_at(assets::compile_font("glyph 32\n.\n.\n"), 1, 1));
    // Everything well formed, but the glyphs stop at 33.
    EXPECT_TRUE(fails_at(assets::compile_font(head + "glyph 32\n.\n.\nglyph 33\n.\n.\n"), 7, 1));
    // The strip height is the number of rows every glyph must have.
    std::string short_glyphs = font_source([](int) { return 3; }, 648, 11);
    short_glyphs.replace(short_glyphs.find("strip 648 11"), 12, "strip 648 12");
    EXPECT_TRUE(assets::compile_font(short_glyphs).error);
}

// ---- pictures -------------------------------------------------------------------------------------

TEST(Picture, ScaledPictureBecomesABottomUpBgrBitmap)
{
    const Compiled result = assets::compile_picture("# 3x2 characters, 2x2 pixels each\n"
                                                    "picture 6 4\n"
                                                    "scale 2\n"
                                                    "colour r FF0000  # red\n"
                                                    "colour g 00ff00\n"
                                                    "colour b 0000FF\n"
                                                    "\n"
                                                    "rgb\n"
                                                    "bbg\n");
    ASSERT_FALSE(result.error) << result.error->message;
    const std::size_t stride = 20;  // 6 pixels x 3 bytes, padded to a multiple of 4
    ASSERT_EQ(result.bytes.size(), 54 + stride * 4);
    EXPECT_EQ(result.bytes[0], 'B');
    EXPECT_EQ(result.bytes[1], 'M');
    EXPECT_EQ(int_at(result.bytes, 2), static_cast<std::int32_t>(result.bytes.size()));
    EXPECT_EQ(int_at(result.bytes, 10), 54);  // pixels follow the two headers
    EXPECT_EQ(int_at(result.bytes, 14), 40);
    EXPECT_EQ(int_at(result.bytes, 18), 6);
    EXPECT_EQ(int_at(result.bytes, 22), 4);  // positive height: bottom-up
    EXPECT_EQ(result.bytes[28], 24);
    EXPECT_EQ(int_at(result.bytes, 30), 0);  // uncompressed

    const auto pixel = [&](int x, int y) {  // as RRGGBB, (0, 0) the top left
        const std::size_t at = 54 + stride * static_cast<std::size_t>(3 - y) + 3 * static_cast<std::size_t>(x);
        return result.bytes[at + 2] << 16 | result.bytes[at + 1] << 8 | result.bytes[at];
    };
    EXPECT_EQ(pixel(0, 0), 0xFF0000);
    EXPECT_EQ(pixel(1, 1), 0xFF0000);
    EXPECT_EQ(pixel(2, 0), 0x00FF00);
    EXPECT_EQ(pixel(5, 1), 0x0000FF);
    EXPECT_EQ(pixel(0, 2), 0x0000FF);
    EXPECT_EQ(pixel(5, 3), 0x00FF00);
    for (std::size_t row = 0; row < 4; ++row) {
        EXPECT_EQ(result.bytes[54 + stride * row + 18], 0);
        EXPECT_EQ(result.bytes[54 + stride * row + 19], 0);
    }
}

// The Windows icon file: a directory of every size, then each image as a 32-bit bitmap of twice
// its height (pixels bottom-up, then the mask that marks the clear pixels), where the directory says.
TEST(Icon, AnIconFileHoldsEverySizeWithItsClearPixelsMasked)
{
    const Compiled source = assets::compile_picture("picture 4 4\n"
                                                    "colour . FFFFFF\n"
                                                    "colour r C02010\n"
                                                    "colour b 1020C0\n"
                                                    "r...\n"
                                                    "rr..\n"
                                                    "bbb.\n"
                                                    "bbbb\n");
    ASSERT_FALSE(source.error) << source.error->message;
    std::vector<assets::Image> sizes(3);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        ASSERT_FALSE(assets::draw_icon(source.bytes, i == 2 ? 256 : 4 << i, sizes[i]));
    const std::vector<std::uint8_t> file = assets::icon_file(sizes);
    const auto u16 = [&](std::size_t at) { return file.at(at) | file.at(at + 1) << 8; };
    ASSERT_EQ(u16(0), 0);
    ASSERT_EQ(u16(2), 1);
    ASSERT_EQ(u16(4), 3);
    std::size_t next = 6 + 16 * 3;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int side = sizes[i].width;
        EXPECT_EQ(file.at(entry), side == 256 ? 0 : side);
        EXPECT_EQ(file.at(entry + 1), side == 256 ? 0 : side);
        EXPECT_EQ(u16(entry + 6), 32);
        const auto bytes = static_cast<std::size_t>(int_at(file, entry + 8));
        const auto at = static_cast<std::size_t>(int_at(file, entry + 12));
        ASSERT_EQ(at, next) << "images follow each other";
        next = at + bytes;
        EXPECT_EQ(int_at(file, at), 40);
        EXPECT_EQ(int_at(file, at + 4), side);
        EXPECT_EQ(int_at(file, at + 8), 2 * side);
        const std::size_t mask_row = (static_cast<std::size_t>(side) + 31) / 32 * 4;
        ASSERT_EQ(bytes, 40 + static_cast<std::size_t>(side) * side * 4 + mask_row * side);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const std::size_t row = static_cast<std::size_t>(side - 1 - y);
                const auto pixel = static_cast<std::uint32_t>(int_at(file, at + 40 + (row * side + x) * 4));
                const bool masked = (file.at(at + 40 + static_cast<std::size_t>(side) * side * 4 + row * mask_row +
                                             static_cast<std::size_t>(x) / 8) >>
                                     (7 - x % 8)) & 1;
                const int scale = side / 4;
                const char c = "r...rr..bbb.bbbb"[y / scale * 4 + x / scale];
                const std::uint32_t want = c == '.' ? 0 : c == 'r' ? 0xFFC02010 : 0xFF1020C0;
                ASSERT_EQ(pixel, want) << side << ": " << x << "," << y;
                ASSERT_EQ(masked, c == '.') << side << ": " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(next, file.size());
}

TEST(Picture, RejectsBadPalettesAndRows)
{
    const std::string head = "picture 4 2\ncolour . 000000\ncolour x FFFFFF\n";
    EXPECT_FALSE(assets::compile_picture(head + "..x.\nxxxx\n").error);
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "..x.\nx.y.\n"), 5, 3));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "..x.\nxx x\n"), 5, 3));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "colour x 123456\n....\n....\n"), 4, 8));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "colour # 123456\n....\n....\n"), 4, 8));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "colour yy 123456\n....\n....\n"), 4, 8));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "colour y 12345G\n....\n....\n"), 4, 10));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "colour y 1234567\n....\n....\n"), 4, 10));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "...\n....\n"), 4, 4));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "....\n.....\n"), 5, 5));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "....\n"), 4, 1));
    EXPECT_TRUE(fails_at(assets::compile_picture(head + "....\n....\n....\n"), 6, 1));
    EXPECT_TRUE(fails_at(assets::compile_picture("picture 6 4\nscale 4\n"), 2, 7));
    EXPECT_TRUE(fails_at(assets::compile_picture("colour . 000000\npicture 1 1\n.\n"), 1, 1));
    EXPECT_TRUE(fails_at(assets::compile_picture("picture 4097 1\n"), 1, 9));
    EXPECT_TRUE(fails_at(assets::compile_picture("picture 4 -2\n"), 1, 11));
    EXPECT_TRUE(assets::compile_picture("").error);
}

}  // namespace
