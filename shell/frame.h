// One turn of the main loop: the title menu while no game runs, otherwise one paced game frame.
#pragma once

#include <string>

// False when the program is to end ("Exit Game", Escape, or the left mouse button during play, or a
// level that could not be loaded).
bool run_frame();

// Why a level change or restart failed (a map that can no longer be read); empty while all is well.
extern std::string level_load_error;
