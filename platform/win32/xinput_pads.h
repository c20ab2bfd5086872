// Game controllers on Windows, in the key snapshot beside the keyboard (platform/controller_keys.h
// says which button stands for which key). A controller pulled out holds nothing.
#pragma once

#include <cstdint>

namespace platform::win32 {

// Sets the keys the connected controllers hold in a snapshot indexed by DirectInput key code.
void pad_keys(uint8_t keys[256]);

}  // namespace platform::win32
