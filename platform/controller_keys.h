// The keys a game controller stands in for, on every backend that reads controllers: the d-pad and
// the left stick for the arrows, the south button (A) for Space, the west button (X) or either
// shoulder for Left Shift, Start for Return, Back for Escape.
#pragma once

#include <cstdint>

namespace platform::controller {

// DirectInput codes, as in the key snapshot.
constexpr uint8_t escape = 0x01, enter = 0x1C, run = 0x2A, jump = 0x39;
constexpr uint8_t up = 0xC8, left = 0xCB, right = 0xCD, down = 0xD0;
constexpr uint8_t held = 0x80;

// Stick travel, of 32767 either way, that still reads as centred: a worn stick rests off centre.
constexpr int dead_zone = 32767 / 4;

}  // namespace platform::controller
