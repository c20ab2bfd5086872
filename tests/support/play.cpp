#include "tests/support/play.h"

#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/object_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace {
constexpr std::string_view tile_chars = "B=X.wsC?GH[]{}v";  // the level files' legend, code 0 first
constexpr int game_keys[] = {DIK_ESCAPE, DIK_RETURN, DIK_S,    DIK_D,     DIK_LSHIFT, DIK_RSHIFT,
                             DIK_SPACE,  DIK_UP,     DIK_LEFT, DIK_RIGHT, DIK_DOWN};
}  // namespace

TileMap text_map(const std::vector<std::string>& rows) {
    size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    int32_t height = std::max<int32_t>(playing_rows, static_cast<int32_t>(rows.size()));
    TileMap map;
    map.map_width = static_cast<int32_t>(width);
    map.map_height = height;
    map.map_cells = std::make_shared<int32_t[]>(width * height);
    size_t first = height - rows.size();
    for (size_t r = 0; r < static_cast<size_t>(height); ++r) {
        for (size_t c = 0; c < width; ++c) {
            char ch = r >= first && c < rows[r - first].size() ? rows[r - first][c] : '.';
            size_t code = tile_chars.find(ch);
            map.map_cells[r * width + c] =
                code == std::string_view::npos ? TILE_EMPTY : static_cast<int32_t>(code);
        }
    }
    return map;
}

std::string map_file_bytes(const TileMap& map) {
    std::string bytes;
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(map.map_width);
    put(map.map_height);
    int64_t cells = static_cast<int64_t>(map.map_width) * map.map_height;
    for (int64_t i = 0; i < cells; ++i) put(map.map_cells[i]);
    return bytes;
}

void start_level(const TileMap& map, int32_t hero_x, int32_t hero_y) {
    install_map(map);
    clear_level();
    player = Player{};
    player.x = hero_x;
    player.set_y(hero_y);
    objects.append(&player, KIND_PLAYER);
    populate_level();
    game_state.in_game = true;
}

bool play_frames(int n, std::initializer_list<int> held) {
    for (int key : game_keys) platform::headless::set_key(key, false);
    for (int key : held) platform::headless::set_key(key, true);
    bool more = true;
    for (int i = 0; i < n && more; ++i) more = play_frame();
    for (int key : held) platform::headless::set_key(key, false);
    return more;
}

int run_program(int last) {
    if (int status = open_game()) return status;
    while (platform::headless::presents() < last && game_step()) {
    }
    return close_game();
}

void play_script(const std::string& script_path, const std::string& data, int more,
                 const std::function<void(int present)>& on_present,
                 const std::function<void()>& before) {
    namespace headless = platform::headless;
    std::vector<headless::InputChange> script;
    std::string error;
    EXPECT_TRUE(headless::read_script_file(script_path, script, error)) << script_path << ": " << error;
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(data);
    headless::reset();
    before();
    headless::set_script(script);
    headless::set_present_hook([&](int present, const uint32_t*, int, int) { on_present(present); });
    run_program((script.empty() ? 0 : script.back().after_present) + more);
    headless::set_present_hook(nullptr);
    std::filesystem::current_path(home);
}
