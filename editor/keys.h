// The DirectInput codes of the keys the level editor reads, beside those of the game.
#pragma once

#include "render/input.h"

namespace editor {

constexpr int key_escape = DIK_ESCAPE;
constexpr int key_1 = 0x02;  // 1 to 9, then 0 at 0x0B
constexpr int key_tab = 0x0F;
constexpr int key_y = 0x15;
constexpr int key_test_play = 0x14;  // T
constexpr int key_prove = 0x19;      // P
constexpr int key_lbracket = 0x1A;
constexpr int key_rbracket = 0x1B;
constexpr int key_lcontrol = 0x1D;
constexpr int key_s = DIK_S;
constexpr int key_lshift = DIK_LSHIFT;
constexpr int key_z = 0x2C;
constexpr int key_n = 0x31;
constexpr int key_rshift = DIK_RSHIFT;
constexpr int key_rcontrol = 0x9D;
constexpr int key_home = 0xC7;
constexpr int key_prior = 0xC9;
constexpr int key_left = DIK_LEFT;
constexpr int key_right = DIK_RIGHT;
constexpr int key_end = 0xCF;
constexpr int key_next = 0xD1;

}  // namespace editor
