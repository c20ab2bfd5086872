// Keyboard and mouse snapshots, taken once per frame.
//
// `keys` holds the last snapshot and `prev_keys` the one before, indexed by DirectInput key code, so
// every reader can ask whether a key is held (nonzero) or was just pressed (held now, not before).
// Of the mouse the game acts only on the left button.
#pragma once

#include <cstdint>

// DirectInput codes of the keys the game reads.
constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_RETURN = 0x1C;
constexpr int DIK_S = 0x1F;
constexpr int DIK_D = 0x20;
constexpr int DIK_LSHIFT = 0x2A;
constexpr int DIK_RSHIFT = 0x36;
constexpr int DIK_SPACE = 0x39;
constexpr int DIK_UP = 0xC8;
constexpr int DIK_LEFT = 0xCB;
constexpr int DIK_RIGHT = 0xCD;
constexpr int DIK_DOWN = 0xD0;

extern uint8_t keys[256];
extern uint8_t prev_keys[256];

extern int32_t mouse_dx, mouse_dy;  // movement at the last read
extern int32_t mouse_left_down, mouse_right_down;  // 0x80 while held, else 0
extern int32_t prev_mouse_left_down, prev_mouse_right_down;

// Whether the keyboard and the mouse are open (between their init and release).
extern bool keyboard_ready;
extern bool mouse_ready;

inline bool key_held(int code) { return keys[code] != 0; }
inline bool key_pressed(int code) { return keys[code] != 0 && prev_keys[code] == 0; }

void keyboard_init();
void keyboard_poll();
void keyboard_release();

void mouse_init();
void mouse_poll();
void mouse_release();
