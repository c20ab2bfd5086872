#include "platform/system_keys.h"

namespace platform {
namespace {

// DirectInput key codes.
constexpr int key_return = 0x1C, key_m = 0x32, key_left_alt = 0x38, key_f4 = 0x3E,
              key_f10 = 0x44, key_f11 = 0x57, key_right_alt = 0xB8;

bool down(const uint8_t keys[256], int code) { return (keys[code] & 0x80) != 0; }

// True when `now` holds and did not before.
bool went_down(bool& before, bool now) {
    const bool pressed = now && !before;
    before = now;
    return pressed;
}

}  // namespace

SystemKeys SystemKeyReader::look(uint8_t keys[256]) {
    const bool alt = down(keys, key_left_alt) || down(keys, key_right_alt);
    SystemKeys pressed;
    pressed.close = went_down(alt_f4_, alt && down(keys, key_f4));
    const bool alt_return = went_down(alt_return_, alt && down(keys, key_return));
    pressed.switch_screen = went_down(f11_, down(keys, key_f11)) || alt_return;
    pressed.switch_scaling = went_down(f10_, down(keys, key_f10));
    pressed.switch_sound = went_down(m_, down(keys, key_m));
    if (!down(keys, key_return)) return_held_back_ = false;
    else if (alt) return_held_back_ = true;
    if (return_held_back_) keys[key_return] = 0;
    return pressed;
}

void SystemKeyReader::lost_sight() { alt_f4_ = alt_return_ = f11_ = f10_ = m_ = true; }

}  // namespace platform
