// What a backend (platform/sdl or platform/headless) provides to the shared device: somewhere to
// show the finished picture. Not for the game: the game calls platform.h only.
#pragma once

#include <cstdint>

namespace platform::backend {

// Prepares to show width x height pictures, windowed or full screen. False (with last_error) when
// the window's renderer cannot be created.
bool display_create(int width, int height, bool windowed);
void display_release();
// Shows one finished ARGB picture (width * height pixels, row after row).
void display_show(const uint32_t* pixels, int width, int height);

}  // namespace platform::backend
