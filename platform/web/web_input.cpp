// Keys, game controllers and the on-screen buttons of a touch screen, read as one key snapshot.
//
// Keys come from the page's key events; the browser's own action is kept from the game's keys only
// (arrows, Space, Return, Shift, S, D, M, Escape), so F5, F11 and Ctrl+W go on working. While the
// level editor runs it takes its own keys as well (digits, Tab, brackets, T, Z, Y, N, Ctrl, Home,
// End, the page keys), Ctrl+S, Ctrl+Z and Ctrl+Y included, so Ctrl+S saves the level rather than
// the page. A page that loses the keyboard (another window, another tab) lets go of every key and
// mouse button. Controllers are read through the Gamepad API with the standard layout, mapped as
// on the other systems. The touch buttons call brickrun_touch from the page. The game reads no
// mouse: a click on the page is how a player starts it and gives it the keyboard, not a way out
// of the game; the editor's pointer is web_pointer.cpp's.
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/controller_keys.h"
#include "platform/platform.h"
#include "platform/web/page.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {
namespace {

namespace key = platform::controller;

std::array<uint8_t, 256> keyboard{};  // held keys by DirectInput code
std::array<uint8_t, 256> touched{};   // held on-screen buttons
bool keyboard_ready = false;

struct KeyCode {
    const char* code;  // KeyboardEvent.code
    uint8_t dik;
};
constexpr KeyCode game_keys[] = {
    {"Escape", 0x01},     {"Enter", 0x1C},      {"NumpadEnter", 0x1C}, {"KeyS", 0x1F},
    {"KeyD", 0x20},       {"ShiftLeft", 0x2A},  {"ShiftRight", 0x36},  {"Space", 0x39},
    {"ArrowUp", 0xC8},    {"ArrowLeft", 0xCB},  {"ArrowRight", 0xCD},  {"ArrowDown", 0xD0},
    {"KeyM", 0x32},
};

// The level editor's keys beyond the game's; Meta (Command) stands in for Ctrl.
constexpr KeyCode editor_keys[] = {
    {"Digit1", 0x02},      {"Digit2", 0x03},       {"Digit3", 0x04},      {"Digit4", 0x05},
    {"Digit5", 0x06},      {"Digit6", 0x07},       {"Digit7", 0x08},      {"Digit8", 0x09},
    {"Digit9", 0x0A},      {"Digit0", 0x0B},       {"Tab", 0x0F},         {"KeyT", 0x14},
    {"KeyY", 0x15},        {"BracketLeft", 0x1A},  {"BracketRight", 0x1B}, {"ControlLeft", 0x1D},
    {"MetaLeft", 0x1D},    {"KeyZ", 0x2C},         {"KeyN", 0x31},        {"ControlRight", 0x9D},
    {"MetaRight", 0x9D},   {"Home", 0xC7},         {"PageUp", 0xC9},      {"End", 0xCF},
    {"PageDown", 0xD1},
};

const KeyCode* game_key(const char* code) {
    for (const KeyCode& k : game_keys)
        if (std::strcmp(k.code, code) == 0) return &k;
    if (!web::editing_now()) return nullptr;
    for (const KeyCode& k : editor_keys)
        if (std::strcmp(k.code, code) == 0) return &k;
    return nullptr;
}

// A key with Ctrl, Alt or Meta belongs to the browser (Ctrl+W, Alt+Left), not to the game; in the
// editor only Alt does, as Ctrl+S, Ctrl+Z and Ctrl+Y are the editor's.
bool for_the_browser(const EmscriptenKeyboardEvent* event) {
    if (web::editing_now()) return event->altKey;
    return event->ctrlKey || event->altKey || event->metaKey;
}

EM_BOOL key_down(int, const EmscriptenKeyboardEvent* event, void*) {
    const KeyCode* k = game_key(event->code);
    if (!k || for_the_browser(event)) return EM_FALSE;
    if (k->dik == 0x32 && !event->repeat) audio::set_muted(!audio::muted());
    keyboard[k->dik] = key::held;
    return EM_TRUE;  // no scrolling, no button pressed by Space or Return
}

EM_BOOL key_up(int, const EmscriptenKeyboardEvent* event, void*) {
    const KeyCode* k = game_key(event->code);
    if (!k) return EM_FALSE;
    keyboard[k->dik] = 0;
    return EM_TRUE;
}

EM_BOOL lost_focus(int, const EmscriptenFocusEvent*, void*) {
    web::release_all_keys();
    return EM_FALSE;
}

// The standard layout: buttons 0 (south), 2 (west), 4 and 5 (shoulders), 8 (back), 9 (start),
// 12 to 15 (the d-pad); axes 0 and 1, the left stick, from -1 to 1 with y growing downward.
struct ButtonKey {
    int button;
    uint8_t key;
};
constexpr ButtonKey button_keys[] = {
    {12, key::up}, {13, key::down}, {14, key::left},  {15, key::right}, {0, key::jump},
    {2, key::run}, {4, key::run},   {5, key::run},    {9, key::enter},  {8, key::escape},
};
constexpr double stick_dead_zone = 0.25;

void add_controllers(uint8_t keys[256]) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
        EmscriptenGamepadEvent pad;
        if (emscripten_get_gamepad_status(i, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected)
            continue;
        for (const ButtonKey& b : button_keys)
            if (b.button < pad.numButtons && pad.digitalButton[b.button]) keys[b.key] = key::held;
        if (pad.numAxes >= 2) {
            if (pad.axis[0] < -stick_dead_zone) keys[key::left] = key::held;
            if (pad.axis[0] > stick_dead_zone) keys[key::right] = key::held;
            if (pad.axis[1] < -stick_dead_zone) keys[key::up] = key::held;
            if (pad.axis[1] > stick_dead_zone) keys[key::down] = key::held;
        }
    }
}

}  // namespace

namespace web {

void release_all_keys() {
    keyboard.fill(0);
    touched.fill(0);
    release_pointer();
}

void watch_keys() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_FALSE, key_down);
    emscripten_set_keyup_callback(window, nullptr, EM_FALSE, key_up);
    emscripten_set_blur_callback(window, nullptr, EM_FALSE, lost_focus);
}

}  // namespace web

bool backend::keyboard_open() {
    keyboard_ready = true;
    return true;
}

void keyboard_close() { keyboard_ready = false; }

bool backend::keyboard_read(uint8_t keys[256]) {
    if (!keyboard_ready) return false;
    for (int k = 0; k < 256; ++k) keys[k] = keyboard[k] | touched[k];
    add_controllers(keys);
    return true;
}

bool backend::mouse_open() { return true; }
void mouse_close() {}

bool backend::mouse_read(MouseState& state) {
    state = MouseState{};
    return true;
}

}  // namespace platform

extern "C" {

// An on-screen button of a touch screen: down or up, as the key it stands for (a DirectInput code).
EMSCRIPTEN_KEEPALIVE void brickrun_touch(int code, int down) {
    if (code >= 0 && code < 256) platform::touched[code] = down ? platform::controller::held : 0;
}

// For tests: how many keys and buttons the page holds down now.
EMSCRIPTEN_KEEPALIVE int brickrun_keys_down() {
    int n = 0;
    for (int k = 0; k < 256; ++k) n += (platform::keyboard[k] | platform::touched[k]) != 0;
    return n;
}

}  // extern "C"
