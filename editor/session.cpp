#include "editor/session.h"

#include "editor/drawing.h"
#include "formats/level_text.h"
#include "play/level.h"
#include "render/input.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace editor {

std::optional<Session> session;
int proof_wait_ms = 0;

namespace {

namespace fs = std::filesystem;

fs::path levels_folder() {
#ifdef _WIN32
    if (const char* appdata = std::getenv("APPDATA"); appdata && *appdata)
        return fs::path(appdata) / "brickrun" / "levels";
#endif
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "brickrun" / "levels";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / ".local" / "share" / "brickrun" / "levels";
}

// The level as the game's map: each cell's tile code, the same the level compiler writes. Anything
// the legend does not know plays as empty; the compiler's problems already name it.
TileMap playable_map(const LevelDocument& document) {
    TileMap map;
    map.map_width = std::max(document.width(), 1);
    map.map_height = std::max(document.height(), 1);
    const auto count = static_cast<size_t>(map.map_width) * static_cast<size_t>(map.map_height);
    map.map_cells = std::shared_ptr<int32_t[]>(new int32_t[count]);
    for (int row = 0; row < map.map_height; ++row) {
        for (int col = 0; col < map.map_width; ++col) {
            const size_t code = formats::kTileChars.find(document.at(col, row));
            map.set_cell(map.index_of(col, row),
                         code == std::string_view::npos ? TILE_EMPTY : static_cast<int32_t>(code));
        }
    }
    return map;
}

}  // namespace

std::string new_level_path() {
    const fs::path folder = levels_folder();
    for (int n = 1;; ++n) {
        const fs::path candidate = folder / ("level-" + std::to_string(n) + ".txt");
        std::error_code error;
        if (!fs::exists(candidate, error)) return candidate.string();
    }
}

bool open_session(const std::string& given, std::string& error) {
    const std::string path = given.empty() ? new_level_path() : given;
    std::optional<LevelDocument> document;
    if (platform::path_kind(path) == platform::PathKind::missing) {
        document = LevelDocument::fresh();
    } else if (!(document = open_level(path, error))) {
        return false;
    }
    session.emplace(Session{Editor(std::move(*document), path, platform::time_ms()), {}, {}, {}});
    // The solver sits beside the game in a build and in ../libexec/brickrun when installed; it
    // reads the data the game reads.
    std::error_code ignored;
    std::string solver = platform::program_folder() + "brickrun-solve";
    const std::string installed = platform::program_folder() + "../libexec/brickrun/brickrun-solve";
    if (!fs::exists(solver, ignored) && fs::exists(installed, ignored)) solver = installed;
    session->editor.set_proof_setup(
        {solver,
         fs::absolute(platform::data_path("."), ignored).lexically_normal().string(),
         proof_wait_ms});
    if (recovery_is_newer(path)) session->editor.offer_recovery();
    return true;
}

Request editor_pass() {
    Session& s = *session;
    keyboard_poll();
    Input input;
    std::copy(keys, keys + 256, input.keys.begin());
    std::copy(prev_keys, prev_keys + 256, input.prev_keys.begin());
    s.pointer.wheel = 0;
    // A failed read (no focus) leaves the pointer where it was and turns no wheel.
    platform::pointer_read(s.pointer);
    input.x = s.pointer.x;
    input.y = s.pointer.y;
    input.wheel = s.pointer.wheel;
    input.prev_buttons = s.prev_buttons;
    for (size_t i = 0; i < 3; ++i) input.buttons[i] = (s.pointer.buttons[i] & 0x80) != 0;
    s.prev_buttons = input.buttons;
    current_screen = Screen::editor;
    platform::play_music(platform::Music::none);
    const Request request = s.editor.step(input, platform::time_ms());
    if (platform::device_drawing() && request != Request::test_play) draw_editor(s.editor);
    return request;
}

void begin_test_play() {
    Session& s = *session;
    s.saved_game = game_state;
    const Editor& editor = s.editor;
    const Cell start = editor.test_start();
    const int last = last_view_column(editor.document().width());
    const int first = editor.zoomed() ? std::clamp(start.col - visible_columns / 2, 0, last)
                                      : editor.view_column();
    start_level_at(playable_map(editor.document()), start.col, start.row, first * tile);
    game_state.in_game = true;
    game_state.restart_level = false;
    game_state.next_level = false;
    game_state.camera_x = first * tile;
}

void end_test_play() { game_state = session->saved_game; }

void close_session(bool left) {
    if (!session) return;
    const Editor& editor = session->editor;
    std::string error;
    if (left) {
        remove_recovery(editor.path());
    } else if (editor.unsaved() && !write_recovery(editor.path(), editor.document(), error)) {
        platform::report_fatal("brickrun: " + editor.path() + ": " + error);
    }
    session.reset();
}

}  // namespace editor
