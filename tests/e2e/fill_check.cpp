// fill-check PICTURE SCREEN.rgb WIDTHxHEIGHT BOX: whether a screenshot shows the game's picture
// filled into BOX (WxH+LEFT+TOP) of a WIDTHxHEIGHT screen, on black, as a player should see it:
// every screen pixel that lies within one picture pixel shows it exactly, and every one across an
// edge shows, in each colour channel, a value between those of the picture pixels it covers.
// PICTURE is what the headless runner drew (a BMP of its --shot), SCREEN.rgb the screenshot as raw
// 8-bit RGB. Prints what it found; exit status 0 when every pixel holds, 1 naming the first that
// does not, 2 for a bad command line or unreadable files.

#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Box {
    int width = 0, height = 0, left = 0, top = 0;
};

bool parse_size(const char* text, int& width, int& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
}

bool parse_box(const char* text, Box& box) {
    return std::sscanf(text, "%dx%d+%d+%d", &box.width, &box.height, &box.left, &box.top) == 4 &&
           box.width > 0 && box.height > 0 && box.left >= 0 && box.top >= 0;
}

int channel(uint32_t argb, int c) { return static_cast<int>(argb >> (16 - 8 * c)) & 0xFF; }

}  // namespace

int main(int argc, char** argv) {
    int width = 0, height = 0;
    Box box;
    if (argc != 5 || !parse_size(argv[3], width, height) || !parse_box(argv[4], box) ||
        box.left + box.width > width || box.top + box.height > height) {
        std::fprintf(stderr, "usage: fill-check PICTURE.bmp SCREEN.rgb WIDTHxHEIGHT WxH+LEFT+TOP\n");
        return 2;
    }
    platform::ImageInfo info;
    platform::Texture* texture = platform::texture_from_file(argv[1], 0, &info);
    if (!texture) {
        std::fprintf(stderr, "fill-check: %s\n", platform::last_error().c_str());
        return 2;
    }
    int pitch = 0;
    const uint32_t* picture = platform::texture_pixels(texture, &pitch);
    const int pw = info.width, ph = info.height, row = pitch / 4;
    std::ifstream in(argv[2], std::ios::binary);
    const std::vector<unsigned char> screen{std::istreambuf_iterator<char>(in), {}};
    if (screen.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
        std::fprintf(stderr, "fill-check: %s holds %zu bytes, not %dx%d RGB pixels\n", argv[2],
                     screen.size(), width, height);
        return 2;
    }
    long exact = 0, mixed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* shown = &screen[(static_cast<size_t>(y) * width + x) * 3];
            const int sx = x - box.left, sy = y - box.top;
            if (sx < 0 || sy < 0 || sx >= box.width || sy >= box.height) {
                if (shown[0] || shown[1] || shown[2]) {
                    std::printf("pixel %d,%d outside the picture is not black\n", x, y);
                    return 1;
                }
                continue;
            }
            // The picture pixels this screen pixel covers, from its edges.
            const int x0 = static_cast<int>(int64_t{sx} * pw / box.width);
            const int x1 = static_cast<int>((int64_t{sx + 1} * pw - 1) / box.width);
            const int y0 = static_cast<int>(int64_t{sy} * ph / box.height);
            const int y1 = static_cast<int>((int64_t{sy + 1} * ph - 1) / box.height);
            (x0 == x1 && y0 == y1 ? exact : mixed) += 1;
            for (int c = 0; c < 3; ++c) {
                int low = 255, high = 0;
                for (int py = y0; py <= y1; ++py) {
                    for (int px = x0; px <= x1; ++px) {
                        const int v = channel(picture[py * row + px], c);
                        low = std::min(low, v);
                        high = std::max(high, v);
                    }
                }
                if (shown[c] < low || shown[c] > high) {
                    std::printf("pixel %d,%d: channel %d is %d, the picture pixels it covers "
                                "(%d..%d, %d..%d) hold %d to %d\n",
                                x, y, c, shown[c], x0, x1, y0, y1, low, high);
                    return 1;
                }
            }
        }
    }
    platform::texture_release(texture);
    std::printf("%ld pixels within one picture pixel each show it, %ld across edges show a mix of "
                "those they cover\n",
                exact, mixed);
    return 0;
}
