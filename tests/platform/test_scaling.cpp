// The picture on a window or display of another size: whole multiples centred on black, or shrunk
// with its shape kept, every screen pixel written.
#include "platform/scaling.h"

#include <gtest/gtest.h>

#include <vector>

using platform::draw_scaled;
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
