// Game controllers, any SDL knows, read into the same key snapshot as the keyboard: a key reads as
// down when the keyboard or any controller holds it. Plugged in before or during play; unplugged,
// whatever a controller held is let go.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace platform::sdl {

// Opens a controller that was plugged in, closes one that was pulled out; other events pass.
void gamepad_event(const SDL_Event& event);

// Sets, in a snapshot indexed by DirectInput key code, the keys the open controllers hold (see
// platform/controller_keys.h).
void gamepad_keys(uint8_t keys[256]);

// Closes every controller.
void gamepads_close();

}  // namespace platform::sdl
