#include "tests/support/test_support.h"

#include "tests/support/scratch.h"

#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/graphics.h"
#include "shell/entry.h"
#include "shell/program_state.h"
#include "shell/startup.h"


void DeviceTest::SetUp() {
    platform::headless::reset();
    ASSERT_TRUE(init_program_state());
    ASSERT_TRUE(graphics_init(800, 600, true));
}

void DeviceTest::TearDown() {
    platform::device_record(nullptr);
    shutdown();
}

void GameTest::SetUp() {
    platform::headless::reset();
    ASSERT_TRUE(init_program_state());
    ASSERT_TRUE(startup());
    player = Player{};
}

uint32_t pixel(int x, int y) { return platform::device_back_buffer()[y * platform::device_width() + x]; }

uint32_t texel(const Sprite& sprite, int x, int y) {
    int pitch = 0;
    const uint32_t* p = platform::texture_pixels(sprite.texture, &pitch);
    return p[y * (pitch / 4) + x];
}

uint32_t shown_pixel(int x, int y) {
    const auto& picture = platform::headless::last_picture();
    return picture.at(static_cast<size_t>(y) * 800 + x);
}

int count_shown(uint32_t colour, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += shown_pixel(x, y) == colour;
    return n;
}

TileMap make_map(int32_t width, int32_t height, int32_t fill) {
    TileMap map;
    map.map_width = width;
    map.map_height = height;
    map.map_cells = std::make_shared<int32_t[]>(static_cast<size_t>(width) * height);
    for (int32_t i = 0; i < width * height; ++i) map.map_cells[i] = fill;
    return map;
}

std::string write_temp_file(const std::string& name, const std::string& bytes) {
    auto path = scratch_files::scratch(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string bmp_file(int width, int height, int bits, const std::vector<uint32_t>& pixels,
                     const std::vector<uint32_t>& palette) {
    int rows = height < 0 ? -height : height;
    int row_bytes = (width * bits + 31) / 32 * 4;
    int offset = 54 + 4 * static_cast<int>(palette.size());
    std::string s = "BM";
    auto put = [&s](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(offset + row_bytes * rows, 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4);
    put(1, 2);
    put(bits, 2);
    put(0, 4);  // no compression
    put(row_bytes * rows, 4);
    put(2835, 4);
    put(2835, 4);
    put(static_cast<uint32_t>(palette.size()), 4);
    put(0, 4);
    for (uint32_t c : palette) put(c & 0xFFFFFF, 4);
    for (int i = 0; i < rows; ++i) {
        int y = height < 0 ? i : rows - 1 - i;
        std::string row(row_bytes, '\0');
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels.at(static_cast<size_t>(y) * width + x);
            char* at = &row[x * bits / 8];
            if (bits >= 8) {
                for (int b = 0; b < bits / 8; ++b) at[b] = static_cast<char>(p >> (8 * b));
            } else {
                // The leftmost pixel sits in the byte's high bits.
                *at = static_cast<char>(*at | p << (8 - bits - x * bits % 8));
            }
        }
        s += row;
    }
    return s;
}

long peak_memory_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
