#include "platform/sdl/gamepad.h"

#include <algorithm>
#include <vector>

namespace platform::sdl {
namespace {

constexpr uint8_t held = 0x80;
constexpr int16_t dead_zone = 32767 / 4;  // stick travel that still reads as centred

// DirectInput codes of the keys a controller stands in for.
constexpr uint8_t key_escape = 0x01, key_return = 0x1C, key_lshift = 0x2A, key_space = 0x39;
constexpr uint8_t key_up = 0xC8, key_left = 0xCB, key_right = 0xCD, key_down = 0xD0;

struct ButtonKey {
    SDL_GameControllerButton button;
    uint8_t key;
};
constexpr ButtonKey button_keys[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, key_up},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, key_down},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, key_left},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, key_right},
    {SDL_CONTROLLER_BUTTON_A, key_space},          {SDL_CONTROLLER_BUTTON_X, key_lshift},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, key_lshift},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, key_lshift},
    {SDL_CONTROLLER_BUTTON_START, key_return},     {SDL_CONTROLLER_BUTTON_BACK, key_escape},
};

std::vector<SDL_GameController*> controllers;

void open(int device_index) {
    if (!SDL_IsGameController(device_index)) return;
    SDL_GameController* controller = SDL_GameControllerOpen(device_index);
    if (!controller) return;
    // The same device can be announced twice (already open when SDL started, and plugged in).
    if (std::find(controllers.begin(), controllers.end(), controller) == controllers.end())
        controllers.push_back(controller);
    else
        SDL_GameControllerClose(controller);
}

void close(SDL_JoystickID id) {
    auto gone = std::find_if(controllers.begin(), controllers.end(), [id](SDL_GameController* c) {
        return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id;
    });
    if (gone == controllers.end()) return;
    SDL_GameControllerClose(*gone);
    controllers.erase(gone);
}

}  // namespace

void gamepad_event(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) open(event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) close(event.cdevice.which);
}

void gamepad_keys(uint8_t keys[256]) {
    for (SDL_GameController* c : controllers) {
        for (const ButtonKey& b : button_keys)
            if (SDL_GameControllerGetButton(c, b.button)) keys[b.key] = held;
        const Sint16 x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        const Sint16 y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        if (x < -dead_zone) keys[key_left] = held;
        if (x > dead_zone) keys[key_right] = held;
        if (y < -dead_zone) keys[key_up] = held;
        if (y > dead_zone) keys[key_down] = held;
    }
}

void gamepads_close() {
    for (SDL_GameController* c : controllers) SDL_GameControllerClose(c);
    controllers.clear();
}

}  // namespace platform::sdl
