// The finished picture on a screen (a window or a display) of another size, centred, the rest black.
// Two fits:
// - whole: the largest whole multiple of the picture that fits, each picture pixel a square block;
// - fill: as large as the screen allows with the shape kept. Each screen pixel shows the picture
//   pixels it covers, mixed by how much of it each covers: a screen pixel inside one picture pixel
//   is that pixel exactly, and only those across an edge are mixed, so edges stay one screen pixel
//   soft at most (the look of scaling up by whole multiples, then smoothly down to the size).
// On a screen smaller than the picture both shrink it to fit with its shape kept, nearest pixel.
#pragma once

#include <cstdint>

namespace platform {

enum class Fit { whole, fill };

// What the player asked for (--scale, F10): whole multiples only, or filling the screen where that
// is the better picture.
enum class Scaling { whole, fill };
void set_scaling(Scaling scaling);
Scaling scaling();

// The fit a screen gets: full screen fills it; a window fills once the picture fits in it at more
// than twice its size, and below that keeps to whole multiples, which stay sharper. With
// Scaling::whole, whole multiples always.
Fit fit_for(int picture_width, int picture_height, int screen_width, int screen_height,
            bool full_screen);

struct Placement {
    int left = 0, top = 0, width = 0, height = 0;  // where the picture lands, in screen pixels
};

Placement place_picture(int picture_width, int picture_height, int screen_width,
                        int screen_height, Fit fit = Fit::whole);

// Draws the width x height picture onto the screen, rows `screen_pitch` pixels apart: the picture's
// pixels where it lands, black everywhere else. A screen that `kept` what the last call drew on it,
// at the same place (a window's own surface), gets only what changed: no borders, and only the
// rows whose picture rows differ from the last picture's.
void draw_scaled(const uint32_t* picture, int width, int height, uint32_t* screen,
                 int screen_pitch, int screen_width, int screen_height, Fit fit = Fit::whole,
                 bool kept = false);

}  // namespace platform
