// The bitmap font: measuring glyphs from the separator row, and how text is laid out.
#include "platform/platform.h"
#include "render/font.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int strip_height = 12;

// A raw strip with the given glyph widths for codes 32 upward (ink everywhere inside a glyph
// below row 0), separators on row 0, and `width` columns in all.
std::string strip(const std::vector<int>& glyph_widths, int width) {
    std::vector<unsigned char> grey(static_cast<size_t>(width) * strip_height, 0);
    int j = 0;
    for (int w : glyph_widths) {
        for (int r = 1; r < strip_height; ++r)
            for (int c = j + 1; c <= j + w; ++c) grey[r * width + c] = 200;
        grey[j + w + 1] = 255;
        j += w + 2;
    }
    std::string bytes;
    for (unsigned char g : grey) bytes += {static_cast<char>(g), static_cast<char>(g), static_cast<char>(g)};
    return bytes;
}

std::vector<int> widths(int first_four, int rest) {
    std::vector<int> w(96, rest);
    for (int i = 0; i < 4; ++i) w[i] = first_four;
    return w;
}

}  // namespace

using FontTest = DeviceTest;

TEST_F(FontTest, MeasuresGlyphsBetweenSeparators) {
    std::vector<int> w = widths(4, 3);
    w[1] = 1;   // '!'
    w[2] = -1;  // '"': two separators side by side
    // A width of -1 is a separator right after the previous one: no skipped column, no glyph.
    std::vector<unsigned char> grey(648 * strip_height, 0);
    int j = 0;
    for (int c = 0; c < 96; ++c) {
        int k = j + w[c] + 1;
        grey[k] = 255;
        j = k + 1;
    }
    std::string bytes;
    for (unsigned char g : grey) bytes += {static_cast<char>(g), static_cast<char>(g), static_cast<char>(g)};
    Font font;
    load_font(write_temp_file("measure.raw", bytes).c_str(), font, 648, strip_height, 2);
    EXPECT_EQ(font.glyph_start[' '], 1);
    EXPECT_EQ(font.glyph_width[' '], 4);
    EXPECT_EQ(font.glyph_start['!'], 7);
    EXPECT_EQ(font.glyph_width['!'], 1);
    EXPECT_EQ(font.glyph_width['"'], -1);
    EXPECT_EQ(font.glyph_width['#'], 4);
    EXPECT_EQ(font.glyph_width['$'], 3);
    EXPECT_EQ(font.glyph_width[127], 3);
    EXPECT_EQ(font.glyph_width[31], 0);
    EXPECT_EQ(font.glyph_width[128], 0);

    std::vector<platform::DeviceCall> log;
    platform::device_record(&log);
    draw_text(10, 10, "\"#", font, 0xFFFFFFFF);
    platform::device_record(nullptr);
    EXPECT_EQ(log.size(), 4u + 2 * 2);  // texture, three blend states, then fvf and draw per glyph
    release_sprite(font.sprite);
}

TEST_F(FontTest, TextAdvancesByGlyphWidthPlusSpacing) {
    Font font;
    load_font(write_temp_file("advance.raw", strip(widths(4, 4), 648)).c_str(), font, 648, strip_height, 2);
    fill_rect(0, 0, 800, 600, 0xFF000000);
    draw_text(100, 50, "!!", font, 0xFFFFFFFF);
    // Each glyph: 5 pixels of ink-stretched columns starting at the pen, the pen moves by 6.
    auto inked = [](int x, int y) { return (pixel(x, y) & 0xFF) != 0; };
    EXPECT_TRUE(inked(100, 55));
    EXPECT_TRUE(inked(104, 55));
    EXPECT_FALSE(inked(105, 55));
    EXPECT_TRUE(inked(106, 55));
    EXPECT_TRUE(inked(110, 55));
    EXPECT_FALSE(inked(111, 55));
    EXPECT_TRUE(inked(100, 62));  // 13 rows tall: the strip's 12 stretched
    EXPECT_FALSE(inked(100, 63));
    release_sprite(font.sprite);
}

TEST_F(FontTest, CharactersWithoutGlyphsStayInsideTheTables) {
    Font font;
    load_font(write_temp_file("high.raw", strip(widths(4, 4), 648)).c_str(), font, 648, strip_height, 2);
    fill_rect(0, 0, 800, 600, 0xFF000000);
    // Codes 128 to 255 draw nothing and move the pen by the spacing.
    draw_text(100, 50, "\xC3\xA9\xFF!", font, 0xFFFFFFFF);
    for (int x = 100; x < 106; ++x) EXPECT_EQ(pixel(x, 55) & 0xFF, 0u) << x;
    EXPECT_NE(pixel(106, 55) & 0xFF, 0u);
    // Codes below 32 are a one-pixel sliver of the strip's first (empty) column and move by 2.
    draw_text(300, 50, "\x01!", font, 0xFFFFFFFF);
    EXPECT_EQ(pixel(300, 55) & 0xFF, 0u);
    EXPECT_NE(pixel(302, 55) & 0xFF, 0u);
    release_sprite(font.sprite);
}

TEST_F(FontTest, MissingFontDrawsADotPerCharacterWithoutMoving) {
    Font font;
    load_font("no_such_font.raw", font, 648, strip_height, 2);
    EXPECT_EQ(font.sprite.texture, nullptr);
    EXPECT_EQ(font.spacing, 0);
    fill_rect(0, 0, 800, 600, 0xFF000000);
    draw_text(50, 60, "SCORE", font, 0xFFFFFFFF);
    EXPECT_EQ(pixel(50, 60), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(51, 60), 0xFF000000u);
    EXPECT_EQ(pixel(50, 61), 0xFF000000u);
}

TEST_F(FontTest, ShortFileReadsAsBackgroundAndFewSeparatorsStayOnRowZero) {
    // Only row 0 and half of row 1: the rest must read as background, not as leftovers.
    std::string bytes = strip(widths(4, 4), 648).substr(0, 648 * 3 * 3 / 2);
    Font font;
    load_font(write_temp_file("short.raw", bytes).c_str(), font, 648, strip_height, 2);
    int pitch = 0;
    const uint32_t* p = platform::texture_pixels(font.sprite.texture, &pitch);
    for (int i = 648 + 324; i < 648 * strip_height; ++i) ASSERT_EQ(p[i], 0u) << i;
    EXPECT_EQ(font.glyph_width['A'], 4);
    release_sprite(font.sprite);

    // Ten separators only: the glyphs past them are measured empty, and nothing reads past row 0.
    Font few;
    load_font(write_temp_file("few.raw", strip(std::vector<int>(10, 4), 60)).c_str(), few, 60,
              strip_height, 2);
    EXPECT_EQ(few.glyph_width[32 + 9], 4);
    EXPECT_EQ(few.glyph_width[32 + 10], 0);
    EXPECT_EQ(few.glyph_start[127], 0);
    release_sprite(few.sprite);
}

TEST_F(FontTest, NumbersDrawAsSignedDecimal) {
    Font font;
    load_font(write_temp_file("digits.raw", strip(widths(4, 4), 648)).c_str(), font, 648, strip_height, 2);
    std::vector<platform::DeviceCall> log;
    platform::device_record(&log);
    draw_number(0, 0, -5, font, 0xFFFFFFFF);
    size_t minus_five = log.size();
    log.clear();
    draw_number(0, 0, 0, font, 0xFFFFFFFF);
    size_t zero = log.size();
    log.clear();
    draw_number(0, 0, -2147483647 - 1, font, 0xFFFFFFFF);
    platform::device_record(nullptr);
    EXPECT_EQ(minus_five, 4u + 2 * 2);
    EXPECT_EQ(zero, 4u + 2 * 1);
    EXPECT_EQ(log.size(), 4u + 2 * 11);
    release_sprite(font.sprite);
}
