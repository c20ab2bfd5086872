// The level editor as the program runs it: the one open level, its input read from the devices
// once a pass, its picture, and test-play, which hands the level to the game and takes it back.
#pragma once

#include "editor/editor.h"
#include "core/game_state.h"
#include "platform/platform.h"

#include <array>
#include <optional>
#include <string>

namespace editor {

// What the editor keeps while it runs: the editor itself, the pointer as last read, and the game
// state that test-play borrows.
struct Session {
    Editor editor;
    platform::PointerState pointer;
    std::array<bool, 3> prev_buttons{};
    GameState saved_game;
};

// The open session, for the program-wide state list; empty unless the editor runs.
extern std::optional<Session> session;

// How long, in real milliseconds, an editor pass waits for a proof still at work: none in the game,
// whose editor goes on drawing meanwhile; brickrun-headless, whose clock stands still while the
// solver works, waits for it.
extern int proof_wait_ms;

// Where a new level is saved: the first free level-N.txt in the player's levels folder
// ($XDG_DATA_HOME/brickrun/levels, else ~/.local/share/brickrun/levels; %APPDATA%\brickrun\levels
// on Windows).
std::string new_level_path();

// Opens the level at `path` for editing, a new one when there is no such file (`path` empty: a new
// one saved as new_level_path()). A recovery file newer than the level is offered on the status
// line. False, with one line in error, for a file that exists but cannot be read.
bool open_session(const std::string& path, std::string& error);

// One editor pass: reads the keyboard and the pointer, acts, and draws the picture (when drawing).
Request editor_pass();

// Starts the game on the level as it stands, the hero in the cell test-play starts from, the camera
// where the editor's view is.
void begin_test_play();
// Back from test-play: the game state as it was before; the level and the view never left.
void end_test_play();

// The session ends: a confirmed leave drops the recovery file; any other end (the window closed)
// writes the unsaved changes to it, so nothing is lost.
void close_session(bool left);

}  // namespace editor
