#include "platform/scaling.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr uint32_t black = 0xFF000000;

void fill(uint32_t* screen, int pitch, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
        std::fill_n(screen + static_cast<size_t>(y) * static_cast<size_t>(pitch) + left, width,
                    black);
}

// One picture row, each pixel `scale` times. Doubling, the most common case, gets a loop of its own
// that the compiler turns into vector stores.
void widen(const uint32_t* in, int width, int scale, uint32_t* out) {
    if (scale == 2) {
        for (int x = 0; x < width; ++x) out[2 * x] = out[2 * x + 1] = in[x];
        return;
    }
    for (int x = 0; x < width; ++x) std::fill_n(out + x * scale, scale, in[x]);
}

}  // namespace

Placement place_picture(int picture_width, int picture_height, int screen_width,
                        int screen_height) {
    Placement p;
    if (picture_width <= 0 || picture_height <= 0 || screen_width <= 0 || screen_height <= 0)
        return p;
    const int scale = std::min(screen_width / picture_width, screen_height / picture_height);
    if (scale >= 1) {
        p.width = picture_width * scale;
        p.height = picture_height * scale;
    } else if (int64_t{screen_width} * picture_height <= int64_t{screen_height} * picture_width) {
        p.width = screen_width;
        p.height = std::max(1, static_cast<int>(int64_t{screen_width} * picture_height /
                                                picture_width));
    } else {
        p.height = screen_height;
        p.width = std::max(1, static_cast<int>(int64_t{screen_height} * picture_width /
                                               picture_height));
    }
    p.left = (screen_width - p.width) / 2;
    p.top = (screen_height - p.height) / 2;
    return p;
}

void draw_scaled(const uint32_t* picture, int width, int height, uint32_t* screen,
                 int screen_pitch, int screen_width, int screen_height) {
    const Placement p = place_picture(width, height, screen_width, screen_height);
    const auto pitch = static_cast<size_t>(screen_pitch);
    fill(screen, screen_pitch, 0, 0, screen_width, p.top);
    fill(screen, screen_pitch, 0, p.top + p.height, screen_width,
         screen_height - p.top - p.height);
    fill(screen, screen_pitch, 0, p.top, p.left, p.height);
    fill(screen, screen_pitch, p.left + p.width, p.top, screen_width - p.left - p.width, p.height);
    if (p.width == 0) return;

    uint32_t* origin = screen + static_cast<size_t>(p.top) * pitch + p.left;
    const auto row_bytes = static_cast<size_t>(p.width) * sizeof(uint32_t);
    if (p.width % width == 0 && p.height == p.width / width * height) {
        // A whole multiple: each picture row is widened once and then copied down.
        const int scale = p.width / width;
        for (int y = 0; y < height; ++y) {
            const uint32_t* in = picture + static_cast<size_t>(y) * static_cast<size_t>(width);
            uint32_t* out = origin + static_cast<size_t>(y) * static_cast<size_t>(scale) * pitch;
            if (scale == 1) {
                std::memcpy(out, in, row_bytes);
                continue;
            }
            widen(in, width, scale, out);
            for (int k = 1; k < scale; ++k) std::memcpy(out + k * pitch, out, row_bytes);
        }
        return;
    }
    // Shrunk: each screen pixel takes the picture pixel its top-left corner falls in.
    std::vector<int> columns(static_cast<size_t>(p.width));
    for (int i = 0; i < p.width; ++i)
        columns[static_cast<size_t>(i)] = static_cast<int>(int64_t{i} * width / p.width);
    for (int j = 0; j < p.height; ++j) {
        const auto source_row = static_cast<size_t>(int64_t{j} * height / p.height);
        const uint32_t* in = picture + source_row * static_cast<size_t>(width);
        uint32_t* out = origin + static_cast<size_t>(j) * pitch;
        for (int i = 0; i < p.width; ++i) out[i] = in[columns[static_cast<size_t>(i)]];
    }
}

}  // namespace platform
