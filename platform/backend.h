// What a backend (platform/sdl or platform/headless) provides to the shared platform code:
// somewhere to show the finished picture, and the reads behind platform.h, which platform/replay.cpp
// passes on, records or answers from a recording. Not for the game: the game calls platform.h only.
#pragma once

#include "platform/platform.h"

#include <cstdint>

namespace platform::backend {

// Prepares to show width x height pictures, windowed or full screen. False (with last_error) when
// the window's renderer cannot be created.
bool display_create(int width, int height, bool windowed);
void display_release();
// Shows one finished ARGB picture (width * height pixels, row after row); null when the device
// draws nothing (the rules run alone), which is still a present.
void display_show(const uint32_t* pixels, int width, int height);

// The platform.h calls of the same names, as the machine answers them.
bool window_create(const char* title, int x, int y, int width, int height);
bool message_take(Message& message);
uint32_t time_ms();
void sleep_ms(uint32_t ms);
void wait_until(int32_t deadline);
bool keyboard_open();
bool keyboard_read(uint8_t keys[256]);
bool mouse_open();
bool mouse_read(MouseState& state);
bool pointer_read(PointerState& state);

}  // namespace platform::backend
