// The finished picture on a screen (a window or a display) of another size: at the largest whole
// multiple of the picture that fits, centred, the rest black; on a screen smaller than the picture,
// shrunk to fit with its shape kept. Nearest pixel throughout, so pixel edges stay hard.
#pragma once

#include <cstdint>

namespace platform {

struct Placement {
    int left = 0, top = 0, width = 0, height = 0;  // where the picture lands, in screen pixels
};

Placement place_picture(int picture_width, int picture_height, int screen_width,
                        int screen_height);

// Draws the width x height picture onto the screen, rows `screen_pitch` pixels apart: every
// screen pixel is written, the picture's or black.
void draw_scaled(const uint32_t* picture, int width, int height, uint32_t* screen,
                 int screen_pitch, int screen_width, int screen_height);

}  // namespace platform
