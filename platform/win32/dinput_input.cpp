// Keyboard and mouse through DirectInput 8, as the game was made to read them: the system keyboard
// and the system mouse, each from a DirectInput object of its own, exclusive while the game window
// is in the foreground. A read fails, and leaves the caller's state as it was, while the window is
// in the background; each failed read asks for the device again, so input comes back with the focus.
// Holding the keyboard exclusively keeps its keys from the window, so the program's own keys
// (Alt+F4, Alt+Return, F11, F10, M) are taken from the snapshots the game reads (platform/system_keys).

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/scaling.h"
#include "platform/system_keys.h"
#include "platform/win32/win32.h"
#include "platform/win32/xinput_pads.h"

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace platform {
namespace {

constexpr DWORD cooperation = DISCL_EXCLUSIVE | DISCL_FOREGROUND;

struct Device {
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* device = nullptr;
};
Device keyboard;
Device mouse;
SystemKeyReader system_keys;

void act_on(const SystemKeys& pressed) {
    if (pressed.close) PostMessageA(win32::main_window(), WM_CLOSE, 0, 0);
    if (pressed.switch_screen) win32::ask_screen_switch();
    if (pressed.switch_scaling)
        set_scaling(scaling() == Scaling::fill ? Scaling::whole : Scaling::fill);
    if (pressed.switch_sound) audio::set_muted(!audio::muted());
}

void close(Device& d) {
    if (d.device) {
        d.device->Unacquire();
        d.device->Release();
    }
    if (d.input) d.input->Release();
    d = Device{};
}

bool fail(Device& d, const char* what, HRESULT result) {
    close(d);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    set_error(std::string(what) + " (DirectInput error " + code + ")");
    return false;
}

// Creates, formats and acquires the device. Acquiring fails while the window is not yet in the
// foreground; the reads try again.
bool open(Device& d, REFGUID which, LPCDIDATAFORMAT format, const char* name) {
    const HWND window = win32::main_window();
    if (!window) {
        set_error("no window to read input from");
        return false;
    }
    HRESULT r = DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION,
                                   IID_IDirectInput8A, reinterpret_cast<void**>(&d.input), nullptr);
    if (FAILED(r)) return fail(d, "cannot start DirectInput", r);
    if (FAILED(r = d.input->CreateDevice(which, &d.device, nullptr)))
        return fail(d, (std::string("no ") + name).c_str(), r);
    if (FAILED(r = d.device->SetDataFormat(format)))
        return fail(d, (std::string("cannot read the ") + name).c_str(), r);
    if (FAILED(r = d.device->SetCooperativeLevel(window, cooperation)))
        return fail(d, (std::string("cannot take the ") + name).c_str(), r);
    d.device->Acquire();
    return true;
}

// The device's state now; false while it is lost to another window, after asking for it again.
bool read(Device& d, DWORD size, void* state) {
    if (!d.device) return false;
    const HRESULT r = d.device->GetDeviceState(size, state);
    if (r == DIERR_INPUTLOST || r == DIERR_NOTACQUIRED) d.device->Acquire();
    return SUCCEEDED(r);
}

// The editor's pointer. The exclusive mouse hides the system's cursor and stops its messages, so
// the pointer is the mouse's own movement added up over the picture, which the editor marks.
struct Pointer {
    int32_t x = 400, y = 300;
    int32_t wheel_left = 0;  // wheel movement short of a whole notch
};
Pointer pointer;

}  // namespace

bool backend::keyboard_open() { return open(keyboard, GUID_SysKeyboard, &c_dfDIKeyboard, "keyboard"); }

void keyboard_close() { close(keyboard); }

bool backend::keyboard_read(uint8_t keys[256]) {
    uint8_t state[256];
    if (!read(keyboard, sizeof state, state)) {
        system_keys.lost_sight();
        return false;
    }
    act_on(system_keys.look(state));
    std::copy(state, state + 256, keys);
    win32::pad_keys(keys);
    return true;
}

bool backend::mouse_open() { return open(mouse, GUID_SysMouse, &c_dfDIMouse, "mouse"); }

void mouse_close() { close(mouse); }

bool backend::mouse_read(MouseState& state) {
    DIMOUSESTATE raw;
    if (!read(mouse, sizeof raw, &raw)) return false;
    state = MouseState{};
    state.dx = raw.lX;
    state.dy = raw.lY;
    state.dz = raw.lZ;
    std::copy(raw.rgbButtons, raw.rgbButtons + 4, state.buttons);
    return true;
}

bool backend::pointer_read(PointerState& state) {
    DIMOUSESTATE raw;
    if (!read(mouse, sizeof raw, &raw)) return false;
    pointer.x = std::clamp<int32_t>(pointer.x + raw.lX, 0, 799);
    pointer.y = std::clamp<int32_t>(pointer.y + raw.lY, 0, 599);
    pointer.wheel_left += raw.lZ;
    state = PointerState{};
    state.x = pointer.x;
    state.y = pointer.y;
    state.wheel = pointer.wheel_left / WHEEL_DELTA;
    pointer.wheel_left -= state.wheel * WHEEL_DELTA;
    std::copy(raw.rgbButtons, raw.rgbButtons + 3, state.buttons);
    return true;
}

}  // namespace platform
