#include "render/input.h"

#include "platform/platform.h"

#include <cstring>

uint8_t keys[256];
uint8_t prev_keys[256];

int32_t mouse_dx, mouse_dy;
int32_t mouse_left_down, mouse_right_down;
int32_t prev_mouse_left_down, prev_mouse_right_down;

bool keyboard_ready = false;
bool mouse_ready = false;

void keyboard_init() {
    std::memset(keys, 0, sizeof keys);
    platform::keyboard_open();
    keyboard_ready = true;
}

void keyboard_poll() {
    std::memcpy(prev_keys, keys, sizeof keys);
    // A failed read (the window lost the keyboard) leaves the last snapshot in place.
    platform::keyboard_read(keys);
}

void keyboard_release() {
    if (!keyboard_ready) return;
    platform::keyboard_close();
    keyboard_ready = false;
}

void mouse_init() {
    platform::mouse_open();
    mouse_ready = true;
}

void mouse_poll() {
    prev_mouse_left_down = mouse_left_down;
    prev_mouse_right_down = mouse_right_down;
    // A failed read reports no movement and the buttons as they were.
    platform::MouseState state;
    state.buttons[0] = static_cast<uint8_t>(mouse_left_down);
    state.buttons[1] = static_cast<uint8_t>(mouse_right_down);
    platform::mouse_read(state);
    mouse_dx = state.dx;
    mouse_dy = state.dy;
    mouse_left_down = state.buttons[0] & 0x80;
    mouse_right_down = state.buttons[1] & 0x80;
}

void mouse_release() {
    if (!mouse_ready) return;
    mouse_ready = false;
    platform::mouse_close();
}
