#include "render/input.h"

#include "platform/platform.h"
#include "render/graphics.h"

#include <algorithm>
#include <cstring>
#include <utility>

uint8_t keys[256];
uint8_t prev_keys[256];

int32_t mouse_dx, mouse_dy;
int32_t mouse_x, mouse_y;
int32_t mouse_left_down, mouse_right_down;
int32_t prev_mouse_left_down, prev_mouse_right_down;
Rect mouse_bounds;

namespace {
bool keyboard_ready = false;
bool mouse_ready = false;
}  // namespace

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
    mouse_x += state.dx;
    mouse_y += state.dy;
    mouse_left_down = state.buttons[0] & 0x80;
    mouse_right_down = state.buttons[1] & 0x80;

    Rect& b = mouse_bounds;
    if (b.right < b.left) std::swap(b.left, b.right);
    if (b.bottom < b.top) std::swap(b.top, b.bottom);
    // Only the left and bottom edges are kept on the screen, as the game always did.
    b.left = std::clamp(b.left, 0, screen_width);
    b.bottom = std::clamp(b.bottom, 0, screen_height);

    if (mouse_x < b.left) mouse_x = b.left;
    if (mouse_x > b.right) mouse_x = b.right;
    if (mouse_y < b.top) mouse_y = b.top;
    if (mouse_y > b.bottom) mouse_y = b.bottom;
}

void mouse_release() {
    if (!mouse_ready) return;
    mouse_ready = false;
    platform::mouse_close();
}

void mouse_set_bounds(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    mouse_bounds = {left, top, right, bottom};
}

void reset_input() {
    std::memset(keys, 0, sizeof keys);
    std::memset(prev_keys, 0, sizeof prev_keys);
    mouse_dx = mouse_dy = mouse_x = mouse_y = 0;
    mouse_left_down = mouse_right_down = prev_mouse_left_down = prev_mouse_right_down = 0;
    mouse_bounds = {};
    keyboard_ready = mouse_ready = false;
}
