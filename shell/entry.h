// The program entry, the window procedure and the message pump.
//
// The entry creates the (hidden) game window, runs start-up, then drives the game one step (one
// present) at a time until a step says the game is over, and runs shutdown. Every present drains
// the window's messages and the flow looks at the quit flag after it, so a close request ends the
// program within one present wherever it comes.
#pragma once

#include "platform/platform.h"

#include <string>

// The whole program; returns its exit status: 0, or 1 after one line on stderr when the game cannot
// start (no display, no device, a level that cannot be read) or a level cannot be read when it is
// reached.
int win_main();

// The level editor on the level at `path` (empty: a new level), in place of the title menu; 1 after
// one line on stderr when the level cannot be read.
int edit_main(const std::string& path);

// win_main in two halves around the steps, for programs that drive the steps themselves (the
// headless runner, the solver): open_game is 0 once the game can run, else the exit status (after
// one line on stderr); close_game runs shutdown and returns the exit status.
int open_game();
int close_game();

// Handles one message: a close request posts a quit message; everything else needs nothing.
void main_window_proc(platform::Message message);

// Takes every waiting message without blocking, noting a quit message in quit_requested.
void drain_messages();

// Chosen when the program is built: the windowed game (1) or the full-screen game (0).
extern const bool build_windowed;
