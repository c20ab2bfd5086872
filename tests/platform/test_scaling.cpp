// The picture on a window or display of another size: whole multiples centred on black, filled
// with sharp pixels, or shrunk with its shape kept, every screen pixel written.
#include "platform/scaling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using platform::draw_scaled;
using platform::Fit;
using platform::place_picture;

namespace {

constexpr uint32_t black = 0xFF000000;
constexpr uint32_t unwritten = 0x12345678;

// A picture whose every pixel differs, so a misplaced or swapped one shows.
std::vector<uint32_t> numbered(int width, int height) {
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = 0xFF000000u | static_cast<uint32_t>(i + 1);
    return picture;
}

struct Screen {
    int width, height, pitch;
    std::vector<uint32_t> pixels;
    Screen(int w, int h, int extra = 3) : width(w), height(h), pitch(w + extra),
        pixels(static_cast<size_t>(pitch) * h, unwritten) {}
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * pitch + x]; }
};

}  // namespace

TEST(Scaling, WholeMultiplesCentredOnBlackOrShrunkToFitWithTheShapeKept) {
    struct Case {
        int screen_w, screen_h;
        int left, top, width, height;
    };
    // The game's 800x600 picture on the screens players have.
    const Case cases[] = {
        {800, 600, 0, 0, 800, 600},       {1024, 768, 112, 84, 800, 600},
        {1920, 1080, 560, 240, 800, 600}, {1600, 1200, 0, 0, 1600, 1200},
        {2560, 1440, 480, 120, 1600, 1200}, {3840, 2160, 720, 180, 2400, 1800},
        {799, 600, 0, 0, 799, 599},       {640, 600, 0, 60, 640, 480},
        {800, 300, 200, 0, 400, 300},     {1, 1, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        const platform::Placement p = place_picture(800, 600, c.screen_w, c.screen_h);
        EXPECT_EQ(p.left, c.left) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.top, c.top) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.width, c.width) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.height, c.height) << c.screen_w << "x" << c.screen_h;
    }
}

TEST(Scaling, DrawsEveryScreenPixelThePicturesOrBlack) {
    const int pw = 8, ph = 6;
    const std::vector<uint32_t> picture = numbered(pw, ph);
    struct Case {
        int w, h;
    };
    for (const Case c : {Case{8, 6}, Case{16, 12}, Case{19, 13}, Case{30, 12}, Case{4, 3}, Case{7, 9}}) {
        Screen screen(c.w, c.h);
        draw_scaled(picture.data(), pw, ph, screen.pixels.data(), screen.pitch, c.w, c.h);
        const platform::Placement p = place_picture(pw, ph, c.w, c.h);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const bool inside = x >= p.left && x < p.left + p.width && y >= p.top &&
                                    y < p.top + p.height;
                // Nearest pixel: the picture pixel under the screen pixel's top-left corner.
                const uint32_t want =
                    inside ? picture[static_cast<size_t>((y - p.top) * ph / p.height) * pw +
                                     (x - p.left) * pw / p.width]
                           : black;
                ASSERT_EQ(screen.at(x, y), want) << c.w << "x" << c.h << " at " << x << "," << y;
            }
            for (int x = c.w; x < screen.pitch; ++x)
                ASSERT_EQ(screen.at(x, y), unwritten) << "past the row's end";
        }
    }
}

TEST(Scaling, FullScreenFillsAndAWindowFillsOnlyBeyondTwiceThePictureUnlessWholeIsChosen) {
    EXPECT_EQ(platform::scaling(), platform::Scaling::fill);  // the default
    EXPECT_EQ(platform::fit_for(800, 600, 1920, 1080, true), Fit::fill);
    EXPECT_EQ(platform::fit_for(800, 600, 1000, 700, false), Fit::whole);
    EXPECT_EQ(platform::fit_for(800, 600, 1600, 1200, false), Fit::whole);
    EXPECT_EQ(platform::fit_for(800, 600, 2400, 1200, false), Fit::whole);  // only as tall as 2x
    EXPECT_EQ(platform::fit_for(800, 600, 1601, 1201, false), Fit::fill);
    platform::set_scaling(platform::Scaling::whole);
    EXPECT_EQ(platform::fit_for(800, 600, 1920, 1080, true), Fit::whole);
    EXPECT_EQ(platform::fit_for(800, 600, 2560, 1600, false), Fit::whole);
    platform::set_scaling(platform::Scaling::fill);

    struct Case {
        int screen_w, screen_h;
        int left, top, width, height;
    };
    const Case cases[] = {
        {1920, 1080, 240, 0, 1440, 1080}, {1600, 1200, 0, 0, 1600, 1200},
        {1000, 700, 33, 0, 933, 700},     {3840, 1600, 853, 0, 2133, 1600},
        {1280, 1024, 0, 32, 1280, 960},   {640, 600, 0, 60, 640, 480},
    };
    for (const Case& c : cases) {
        const platform::Placement p = place_picture(800, 600, c.screen_w, c.screen_h, Fit::fill);
        EXPECT_EQ(p.left, c.left) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.top, c.top) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.width, c.width) << c.screen_w << "x" << c.screen_h;
        EXPECT_EQ(p.height, c.height) << c.screen_w << "x" << c.screen_h;
    }
}

// The fill: a screen pixel inside one picture pixel is that pixel; one across an edge has, in each
// colour channel, a value between those of the picture pixels it covers, weighed by how much of it
// each covers; black around. Pictures of random colours, so a channel mixed into its neighbour or a
// mix of the wrong pixels shows.
TEST(Scaling, AFilledScreenPixelIsThePicturePixelItLiesInOrAMixOfThoseItCovers) {
    std::mt19937 random(25);
    struct Case {
        int pw, ph, w, h;
    };
    for (const Case c : {Case{8, 6, 19, 13}, Case{8, 6, 30, 12}, Case{5, 7, 9, 14},
                         Case{80, 60, 144, 108}, Case{80, 60, 193, 145}, Case{3, 2, 7, 5}}) {
        std::vector<uint32_t> picture(static_cast<size_t>(c.pw) * c.ph);
        for (uint32_t& pixel : picture) pixel = 0xFF000000u | (random() & 0xFFFFFF);
        Screen screen(c.w, c.h);
        draw_scaled(picture.data(), c.pw, c.ph, screen.pixels.data(), screen.pitch, c.w, c.h,
                    Fit::fill);
        const platform::Placement p = place_picture(c.pw, c.ph, c.w, c.h, Fit::fill);
        ASSERT_TRUE(p.width == c.w || p.height == c.h) << "the fill touches two edges";
        int exact = 0, mixed = 0;
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const uint32_t shown = screen.at(x, y);
                if (x < p.left || x >= p.left + p.width || y < p.top || y >= p.top + p.height) {
                    ASSERT_EQ(shown, black) << "at " << x << "," << y;
                    continue;
                }
                // The picture pixels the screen pixel covers, found from its corners.
                const int sx = x - p.left, sy = y - p.top;
                const int x0 = sx * c.pw / p.width, x1 = ((sx + 1) * c.pw - 1) / p.width;
                const int y0 = sy * c.ph / p.height, y1 = ((sy + 1) * c.ph - 1) / p.height;
                if (x0 == x1 && y0 == y1) {
                    ASSERT_EQ(shown & 0xFFFFFF, picture[static_cast<size_t>(y0) * c.pw + x0] & 0xFFFFFF)
                        << c.w << "x" << c.h << " at " << x << "," << y;
                    ++exact;
                    continue;
                }
                ++mixed;
                // How much of the screen pixel lies in picture column px (row py), in its widths.
                auto share = [](int screen_at, int picture, int shown, int at) {
                    const double from = std::max<double>(screen_at * picture, at * shown);
                    const double to = std::min<double>((screen_at + 1) * picture, (at + 1) * shown);
                    return std::max(0.0, to - from) / picture;
                };
                for (int shift : {0, 8, 16}) {
                    int low = 255, high = 0;
                    double mean = 0;
                    for (int py = y0; py <= y1; ++py) {
                        for (int px = x0; px <= x1; ++px) {
                            const int v = (picture[static_cast<size_t>(py) * c.pw + px] >> shift) & 0xFF;
                            low = std::min(low, v);
                            high = std::max(high, v);
                            mean += v * share(sx, c.pw, p.width, px) * share(sy, c.ph, p.height, py);
                        }
                    }
                    const int v = (shown >> shift) & 0xFF;
                    ASSERT_TRUE(v >= low && v <= high)
                        << c.w << "x" << c.h << " at " << x << "," << y << ": channel " << shift
                        << " is " << v << ", the pixels covered hold " << low << " to " << high;
                    ASSERT_NEAR(v, mean, 3.0) << c.w << "x" << c.h << " at " << x << "," << y
                                              << ": channel " << shift << ", mixed by cover";
                }
            }
        }
        EXPECT_GT(exact, mixed / 4) << c.w << "x" << c.h;
    }
}

TEST(Scaling, AFillOfAWholeMultipleIsThatMultiple) {
    const std::vector<uint32_t> picture = numbered(8, 6);
    Screen whole(24, 20), filled(24, 20);
    draw_scaled(picture.data(), 8, 6, whole.pixels.data(), whole.pitch, 24, 20, Fit::whole);
    draw_scaled(picture.data(), 8, 6, filled.pixels.data(), filled.pitch, 24, 20, Fit::fill);
    EXPECT_EQ(filled.pixels, whole.pixels);
}

// A screen that kept the last picture gets only the rows that changed, in every fit; all of it
// again once it says it did not keep it.
TEST(Scaling, AScreenThatKeptTheLastPictureGetsOnlyTheRowsThatChanged) {
    struct Case {
        Fit fit;
        int w, h;
        int first, last;  // the screen rows that show picture row 2 (and mixes with it)
    };
    for (const Case c : {Case{Fit::whole, 24, 20, 7, 9}, Case{Fit::fill, 19, 13, 4, 6},
                         Case{Fit::whole, 4, 3, 1, 1}}) {
        std::vector<uint32_t> picture = numbered(8, 6);
        Screen screen(c.w, c.h);
        draw_scaled(picture.data(), 8, 6, screen.pixels.data(), screen.pitch, c.w, c.h, c.fit, true);
        Screen fresh = screen;
        std::fill(screen.pixels.begin(), screen.pixels.end(), unwritten);
        draw_scaled(picture.data(), 8, 6, screen.pixels.data(), screen.pitch, c.w, c.h, c.fit, true);
        EXPECT_TRUE(std::all_of(screen.pixels.begin(), screen.pixels.end(),
                                [](uint32_t p) { return p == unwritten; }))
            << "an unchanged picture on a screen that kept it draws nothing";

        picture[2 * 8 + 5] ^= 0x00FFFFFF;
        draw_scaled(picture.data(), 8, 6, screen.pixels.data(), screen.pitch, c.w, c.h, c.fit, true);
        Screen whole(c.w, c.h);
        draw_scaled(picture.data(), 8, 6, whole.pixels.data(), whole.pitch, c.w, c.h, c.fit);
        const platform::Placement p = place_picture(8, 6, c.w, c.h, c.fit);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const bool drawn = y >= c.first && y <= c.last && x >= p.left && x < p.left + p.width;
                ASSERT_EQ(screen.at(x, y), drawn ? whole.at(x, y) : unwritten)
                    << c.w << "x" << c.h << " at " << x << "," << y;
            }
        }
        draw_scaled(picture.data(), 8, 6, screen.pixels.data(), screen.pitch, c.w, c.h, c.fit, false);
        EXPECT_EQ(screen.pixels, whole.pixels) << "not kept, it is drawn whole";
        EXPECT_NE(fresh.pixels, whole.pixels);
    }
}
