// The sine the flying brick debris and a knocked-out enemy's flip are drawn with: sin(t x
// 0.0174532), t a whole frame count taken as degrees (the game's own, slightly short, degree).
#pragma once

#include <cstdint>

// Exactly what the C library of our Linux builds gives for t from 0 to 99, the counts the game
// draws with, from a table: another system's sin may round the last bit differently, and the
// picture must be the same everywhere. Any other t is left to std::sin.
double degree_sine(int32_t t);
