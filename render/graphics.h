// The graphics device and the frame flip.
//
// One scene stays open from graphics_init to graphics_shutdown; every drawing call of the game lands
// in it, and present_frame shows it and opens the next one, cleared to opaque black.
#pragma once

#include <cstdint>

extern int32_t screen_width;   // back-buffer width in pixels (800)
extern int32_t screen_height;  // back-buffer height in pixels (600)

// Creates the device on the game window, fixes the render states that never change, opens the first
// scene, then places the window at (0, 0), sizes it to the back buffer and shows it. False when the
// device cannot be created (platform::last_error says why); nothing is then left open.
bool graphics_init(int32_t width, int32_t height, bool windowed);

// Shows what was drawn since the last call and opens the next picture, cleared to opaque black.
// The game drains the window's messages right after each present.
void present_frame();

void graphics_shutdown();
