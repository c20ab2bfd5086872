// Controls of the browser backend, for the page's own main loop (shell/web_main.cpp).
//
// A page cannot block: the browser calls the page once per display refresh and expects it back at
// once. So the game's waits and sleeps do not wait here. They move the game's clock on to their
// end, and the page runs the next step only once real time has caught up with that clock, which
// keeps the game's pace (a frame every 33 ms, a slow-motion sleep) as the real window keeps it.
// Time the page spends hidden does not count: the game stops there and goes on where it was.
#pragma once

namespace platform::web {

// Whether real time has reached the game's clock, so the next step may run now.
bool caught_up();

// Whether the page is hidden (another tab, a minimised window): nothing runs then.
bool hidden();

// The level editor runs (or no longer does): the page gives it the keys it reads, Ctrl+S, Ctrl+Z
// and Tab among them, and the wheel and right button over the canvas.
void set_editing(bool on);

// Tops the sound up to a little ahead of what the speakers play, from the game's own mixer.
void feed_sound();

}  // namespace platform::web
