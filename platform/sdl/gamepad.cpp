#include "platform/sdl/gamepad.h"

#include "platform/controller_keys.h"

#include <algorithm>
#include <vector>

namespace platform::sdl {
namespace {

namespace key = platform::controller;

struct ButtonKey {
    SDL_GameControllerButton button;
    uint8_t key;
};
constexpr ButtonKey button_keys[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, key::up},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, key::down},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, key::left},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, key::right},
    {SDL_CONTROLLER_BUTTON_A, key::jump},           {SDL_CONTROLLER_BUTTON_X, key::run},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, key::run}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, key::run},
    {SDL_CONTROLLER_BUTTON_START, key::enter},      {SDL_CONTROLLER_BUTTON_BACK, key::escape},
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
            if (SDL_GameControllerGetButton(c, b.button)) keys[b.key] = key::held;
        // SDL's y grows downward.
        const int x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        const int y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        if (x < -key::dead_zone) keys[key::left] = key::held;
        if (x > key::dead_zone) keys[key::right] = key::held;
        if (y < -key::dead_zone) keys[key::up] = key::held;
        if (y > key::dead_zone) keys[key::down] = key::held;
    }
}

void gamepads_close() {
    for (SDL_GameController* c : controllers) SDL_GameControllerClose(c);
    controllers.clear();
}

}  // namespace platform::sdl
