// The program-wide game state, read and written by name by every room of the game: the game state
// record, which screen is showing, and whether the window was asked to close.
#pragma once

#include <cstdint>

struct GameState {
    int32_t lives = 3;            // negative: the game is over
    int32_t score = 0;
    int32_t coins = 0;            // above 99 they turn into a life; kept from game to game
    bool restart_level = false;   // the hero was lost: restart at the start of the next frame
    bool next_level = false;      // the hero left through a pipe: next level at the next frame
    bool in_game = false;         // false while the title menu shows
    int32_t level_index = 0;      // 0-based; the banner shows level_index + 1
    int32_t camera_x = 0;         // horizontal scroll, set each frame from the hero's scroll
    int32_t sub_steps = 32;       // movement sub-steps per frame
    int32_t combo = 0;            // enemies defeated in the current chain
    int32_t combo_timer = 0;      // frames since the last defeat
    int16_t bump_lock = 0;        // above 0: blocks refuse to be bumped
    int32_t next_frame_time = 0;  // clock value (signed) at which the next game frame may start
    int32_t fps = 0;              // frames in the last finished one-second window
    int32_t fps_frames = 0;       // frames in the current window
    float fps_window_start = 0.0f;  // clock value at which the current window began
};

extern GameState game_state;

// Which screen the picture being presented shows: the title menu, the level banner, the game-over
// screen, a game frame or the level editor. Nothing in the game reads it; the headless trace and
// tests do.
enum class Screen { menu, banner, game_over, game, editor };
extern Screen current_screen;

// A quit message was taken from the window's queue; never cleared while the program runs.
extern bool quit_requested;
