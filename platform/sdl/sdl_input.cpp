// Keyboard and mouse snapshots, read like the game's original foreground input devices: a read
// fails, and leaves the caller's state as it was, while the game window is not the active one.

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/sdl/gamepad.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/pointer.h"

#include <SDL.h>

#include <algorithm>

namespace platform {
namespace {

constexpr uint8_t held = 0x80;

bool keyboard_ready = false;
bool mouse_ready = false;
// The Return of an Alt+Return (the full-screen switch) is kept from the game until it is let go,
// Alt or no Alt: the menu would take it for a choice.
bool return_swallowed = false;

// The game has one window, so any window with the keyboard focus is the game's.
bool window_active() { return SDL_GetKeyboardFocus() != nullptr; }

bool open_device(bool& ready) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        set_error("no window to read input from");
        return false;
    }
    ready = true;
    return true;
}

// Up-to-date key and button state even when messages were last drained a while ago.
bool readable(bool ready) {
    if (!ready) return false;
    SDL_PumpEvents();
    return window_active();
}

}  // namespace

bool backend::keyboard_open() { return open_device(keyboard_ready); }

void keyboard_close() {
    keyboard_ready = false;
    sdl::gamepads_close();
}

bool backend::keyboard_read(uint8_t keys[256]) {
    if (!readable(keyboard_ready)) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    std::fill_n(keys, 256, uint8_t{0});
    for (int scancode = 0; scancode < count; ++scancode) {
        const uint8_t code = sdl::key_code_of(scancode);
        if (state[scancode] && code != 0) keys[code] = held;
    }
    const bool alt = state[SDL_SCANCODE_LALT] || state[SDL_SCANCODE_RALT];
    if (!state[SDL_SCANCODE_RETURN]) return_swallowed = false;
    else if (alt) return_swallowed = true;
    if (return_swallowed) keys[sdl::key_code_of(SDL_SCANCODE_RETURN)] = 0;
    sdl::gamepad_keys(keys);
    return true;
}

bool backend::mouse_open() {
    if (!open_device(mouse_ready)) return false;
    SDL_GetRelativeMouseState(nullptr, nullptr);  // movement starts counting now
    return true;
}

void mouse_close() { mouse_ready = false; }

bool backend::mouse_read(MouseState& state) {
    if (!readable(mouse_ready)) return false;
    int dx = 0;
    int dy = 0;
    const Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
    state = MouseState{};
    state.dx = dx;
    state.dy = dy;
    state.buttons[0] = (buttons & SDL_BUTTON_LMASK) != 0 ? held : uint8_t{0};
    state.buttons[1] = (buttons & SDL_BUTTON_RMASK) != 0 ? held : uint8_t{0};
    return true;
}

bool backend::pointer_read(PointerState& state) {
    if (!readable(mouse_ready)) return false;
    int x = 0;
    int y = 0;
    const Uint32 buttons = SDL_GetMouseState(&x, &y);
    state = PointerState{};
    sdl::picture_point(x, y, state.x, state.y);
    state.wheel = sdl::take_wheel();
    const Uint32 masks[3] = {SDL_BUTTON_LMASK, SDL_BUTTON_RMASK, SDL_BUTTON_MMASK};
    for (int i = 0; i < 3; ++i) state.buttons[i] = (buttons & masks[i]) != 0 ? held : uint8_t{0};
    return true;
}

}  // namespace platform
