// The asset compiler: levels, the font strip and pictures, checked against what the game reads back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/assets/font.h"
#include "tools/assets/level.h"
#include "tools/assets/picture.h"

namespace {

using assets::Compiled;

testing::AssertionResult fails_at(const Compiled& result, int line, int column)
{
    if (!result.error)
        return testing::AssertionFailure() << "compiled without an error";
    if (result.error->line != line || result.error->column != column)
        return testing::AssertionFailure() << "error at " << result.error->line << ':' << result.error->column
                                           << " (" << result.error->message << ")";
    return testing::AssertionSuccess();
}

std::int32_t int_at(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::int32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
                                     static_cast<std::uint32_t>(bytes.at(at + 3)) << 24);
}

void append_i32(std::vector<std::uint8_t>& bytes, std::int32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
}

std::vector<std::uint8_t> map_bytes(std::int32_t width, std::int32_t height, const std::vector<std::int32_t>& cells)
{
    std::vector<std::uint8_t> bytes;
    append_i32(bytes, width);
    append_i32(bytes, height);
    for (const std::int32_t cell : cells)
        append_i32(bytes, cell);
    return bytes;
}

std::string level_rows(int count, const std::string& row = "...v")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += row + "\n";
    return text;
}

// ---- levels ---------------------------------------------------------------------------------------

TEST(Level, WritesSizesThenTileCodesRowByRow)
{
    const std::string text = "# legend\n#\nB=X.wsC?GH[]{}v\n" + level_rows(19, "..............=");
    const Compiled result = assets::compile_level(text);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_TRUE(result.warnings.empty());
    ASSERT_EQ(result.bytes.size(), 8u + 4u * 15 * 20);
    EXPECT_EQ(int_at(result.bytes, 0), 15);
    EXPECT_EQ(int_at(result.bytes, 4), 20);
    for (int code = 0; code < 15; ++code)
        EXPECT_EQ(int_at(result.bytes, 8 + 4 * static_cast<std::size_t>(code)), code) << "column " << code;
    EXPECT_EQ(int_at(result.bytes, 8 + 4 * 15), 3);       // row 1, column 0: empty
    EXPECT_EQ(int_at(result.bytes, 8 + 4 * (20 * 15 - 1)), 1);  // last cell: ground

    // Windows line ends compile to the same map.
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(assets::compile_level(crlf).bytes, result.bytes);
}

TEST(Level, RejectsBadMapsAtTheirLineAndColumn)
{
    // Comment lines count towards the line number.
    EXPECT_TRUE(fails_at(assets::compile_level("# legend\n....\n..q.\n" + level_rows(18, "....")), 3, 3));
    EXPECT_TRUE(fails_at(assets::compile_level("....\n....\n.... \n" + level_rows(17, "....")), 3, 5));
    // The first row that differs from the first row's length is the one blamed.
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(5) + "...\n" + level_rows(14) + "..\n"), 6, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(5) + "\n" + level_rows(15)), 6, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(20) + "\n"), 21, 1));

    EXPECT_TRUE(assets::compile_level(level_rows(19)).error);
    EXPECT_FALSE(assets::compile_level(level_rows(20)).error);
    const Compiled taller = assets::compile_level(level_rows(21));
    ASSERT_FALSE(taller.error);
    EXPECT_EQ(int_at(taller.bytes, 4), 21);

    EXPECT_TRUE(assets::compile_level("").error);
    EXPECT_TRUE(assets::compile_level("# only comments\n# here\n").error);
    EXPECT_TRUE(fails_at(assets::compile_level("\n" + level_rows(20)), 1, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(1001)), 1001, 1));
}

TEST(Level, WarnsWhenThereIsNoExit)
{
    const Compiled result = assets::compile_level(level_rows(20, "...."));
    ASSERT_FALSE(result.error);
    EXPECT_FALSE(result.bytes.empty());
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("no pipe entrance"), std::string::npos);
}

TEST(Level, UnlevelGivesBackTheSameRows)
{
    const std::string rows = "B=X.wsC?GH[]{}v\n" + level_rows(20, "...w...?...{}..");
    const Compiled map = assets::compile_level("# my level\n" + rows);
    ASSERT_FALSE(map.error);

    const assets::Decompiled text = assets::decompile_level(map.bytes);
    ASSERT_FALSE(text.error) << *text.error;
    std::string without_comments;
    for (const auto& line : assets::split_lines(text.text)) {
        if (!assets::is_comment(line.text))
            without_comments += std::string(line.text) + "\n";
    }
    EXPECT_EQ(without_comments, rows);
    EXPECT_EQ(assets::compile_level(text.text).bytes, map.bytes);
}

TEST(Level, UnlevelRejectsTruncatedAndAbsurdMaps)
{
    EXPECT_TRUE(assets::decompile_level({}).error);
    EXPECT_TRUE(assets::decompile_level(std::vector<std::uint8_t>{20, 0, 0, 0, 20, 0, 0}).error);

    const std::vector<std::int32_t> short_cells(1200, 3);
    const assets::Decompiled truncated = assets::decompile_level(map_bytes(100, 20, short_cells));
    ASSERT_TRUE(truncated.error);
    EXPECT_EQ(*truncated.error, "file holds 1200 cells but its sizes say 2000");
    // A stray byte short of a whole cell does not count as one.
    std::vector<std::uint8_t> almost = map_bytes(2, 2, {3, 3, 3});
    almost.insert(almost.end(), {3, 0, 0});
    EXPECT_TRUE(assets::decompile_level(almost).error);

    for (const auto& [width, height] : std::vector<std::pair<std::int32_t, std::int32_t>>{
             {0, 20}, {20, 0}, {-1, 20}, {20, -20}, {100001, 20}, {20, 1001}, {100000, 1000},
             {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}}) {
        const assets::Decompiled result = assets::decompile_level(map_bytes(width, height, {3, 3, 3, 3}));
        EXPECT_TRUE(result.error) << width << "x" << height;
    }

    const assets::Decompiled bad_code = assets::decompile_level(map_bytes(3, 2, {3, 3, 3, 3, 15, 3}));
    ASSERT_TRUE(bad_code.error);
    EXPECT_NE(bad_code.error->find("column 1, row 1"), std::string::npos) << *bad_code.error;
    EXPECT_NE(bad_code.error->find("15"), std::string::npos) << *bad_code.error;
    EXPECT_TRUE(assets::decompile_level(map_bytes(1, 1, {-1})).error);

    // The game ignores anything after the cells, and so does unlevel.
    std::vector<std::uint8_t> longer = map_bytes(1, 1, {14});
    longer.push_back(0xAB);
    const assets::Decompiled tail = assets::decompile_level(longer);
    ASSERT_FALSE(tail.error);
    EXPECT_TRUE(tail.text.ends_with("\nv\n"));
}

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
