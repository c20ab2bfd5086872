// What the window knows of the pointer that its input reads need: where a point of the window
// lies on the picture, and the wheel's turn, which SDL hands out as events rather than as state.
#pragma once

#include <cstdint>

namespace platform::sdl {

// The picture pixel under a point of the window, through the scaling the last picture was shown
// with; outside the picture's own range over the black around it.
void picture_point(int window_x, int window_y, int32_t& x, int32_t& y);

// Notches of the wheel turned (away from the player counts up) since the last call.
int32_t take_wheel();

}  // namespace platform::sdl
