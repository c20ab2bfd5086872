#include "tests/support/test_support.h"

#include <filesystem>
#include <fstream>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/graphics.h"
#include "shell/entry.h"
#include "shell/reset.h"
#include "shell/startup.h"

const bool build_windowed = true;

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
    auto path = std::filesystem::temp_directory_path() / ("brickrun_test_" + name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}
