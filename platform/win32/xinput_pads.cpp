// Game controllers on Windows, through XInput, read into the same key snapshot as the keyboard.
// XInput is found at run time (xinput1_4.dll from Windows 8, xinput9_1_0.dll before it), so the
// game still starts where neither is present. A slot with no controller is asked again only about
// once a second: asking an empty slot is slow.

#include "platform/win32/xinput_pads.h"

#include "platform/controller_keys.h"
#include "platform/win32/win32.h"

#include <xinput.h>

namespace platform::win32 {
namespace {

namespace key = platform::controller;

using GetState = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

struct ButtonKey {
    WORD button;
    uint8_t key;
};
constexpr ButtonKey button_keys[] = {
    {XINPUT_GAMEPAD_DPAD_UP, key::up},       {XINPUT_GAMEPAD_DPAD_DOWN, key::down},
    {XINPUT_GAMEPAD_DPAD_LEFT, key::left},   {XINPUT_GAMEPAD_DPAD_RIGHT, key::right},
    {XINPUT_GAMEPAD_A, key::jump},           {XINPUT_GAMEPAD_X, key::run},
    {XINPUT_GAMEPAD_LEFT_SHOULDER, key::run}, {XINPUT_GAMEPAD_RIGHT_SHOULDER, key::run},
    {XINPUT_GAMEPAD_START, key::enter},      {XINPUT_GAMEPAD_BACK, key::escape},
};

constexpr int empty_slot_wait = 30;  // reads between two looks at an empty slot

GetState get_state() {
    static const GetState found = [] {
        HMODULE dll = LoadLibraryA("xinput1_4.dll");
        if (!dll) dll = LoadLibraryA("xinput9_1_0.dll");
        return dll ? reinterpret_cast<GetState>(
                         reinterpret_cast<void*>(GetProcAddress(dll, "XInputGetState")))
                   : nullptr;
    }();
    return found;
}

int wait_left[XUSER_MAX_COUNT] = {};

}  // namespace

void pad_keys(uint8_t keys[256]) {
    const GetState read = get_state();
    if (!read) return;
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
        if (wait_left[slot] > 0) {
            --wait_left[slot];
            continue;
        }
        XINPUT_STATE state{};
        if (read(slot, &state) != ERROR_SUCCESS) {
            wait_left[slot] = empty_slot_wait;
            continue;
        }
        const XINPUT_GAMEPAD& pad = state.Gamepad;
        for (const ButtonKey& b : button_keys)
            if (pad.wButtons & b.button) keys[b.key] = key::held;
        // XInput's y grows upward.
        if (pad.sThumbLX < -key::dead_zone) keys[key::left] = key::held;
        if (pad.sThumbLX > key::dead_zone) keys[key::right] = key::held;
        if (pad.sThumbLY > key::dead_zone) keys[key::up] = key::held;
        if (pad.sThumbLY < -key::dead_zone) keys[key::down] = key::held;
    }
}

}  // namespace platform::win32
