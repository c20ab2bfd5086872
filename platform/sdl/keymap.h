// SDL scancodes to the key codes the game indexes its key snapshot with: DirectInput codes, which
// are PC set-1 scan codes with the extended (0xE0-prefixed) keys moved up by 0x80.
#pragma once

#include <cstdint>

namespace platform::sdl {

// The key code of an SDL scancode; 0 for scancodes that have no key code (0 is no key's code).
uint8_t key_code_of(int scancode);

}  // namespace platform::sdl
