// The program entry, the window procedure and the message pump.
//
// The entry creates the (hidden) game window, runs start-up, then alternates draining the window's
// messages and running one frame until a frame says the game is over or the window was closed, and
// runs shutdown. The title menu and the banner look at the flag after each of their presents, so a
// close request ends the program within one present wherever it comes.
#pragma once

#include "platform/platform.h"

extern bool quit_requested;  // a quit message was taken from the queue; never cleared

// The whole program; returns its exit status: 0, or 1 after one line on stderr when the game cannot
// start (no display, no device, a level that cannot be read) or a level cannot be read when it is
// reached.
int win_main();

// Until a frame says the game is over or a quit message has come: drain the messages, run a frame.
void main_loop(void (*drain)(), bool (*frame)());

// Handles one message: a close request posts a quit message; everything else needs nothing.
void main_window_proc(platform::Message message);

// Takes every waiting message without blocking, noting a quit message in quit_requested.
void drain_messages();

// Chosen when the program is built: the windowed game (1) or the full-screen game (0).
extern const bool build_windowed;
