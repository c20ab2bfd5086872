// The game frame, in two halves around its present.
//
// run_frame: extra lives, the frame-rate window, the 33 ms pace, the kill-chain timer, input, the
// level's tune and the present of the previous frame's picture. finish_frame: the bump lock, the
// camera, the world's rules, slow motion, then the frame's picture (sky, tiles, the world, the
// heads-up display, the debug overlay), the exit keys and the frame count.
#pragma once

#include "shell/flow.h"

// Phase::frame. A close request that came during a banner ends the game here.
Outcome run_frame();
// Phase::frame_shown. Escape or the left mouse button ends the game (test-play goes back to the
// level editor instead).
Outcome finish_frame();

// The picture of a game frame, from the state the rules left.
void draw_frame();
