// Game controllers in the key snapshot, with SDL's virtual controller plugged in and pulled out:
// buttons, the left stick inside and outside its dead zone, a hot plug, an unplug with a button held.
#include "platform/sdl/gamepad.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <cstdint>

namespace {

constexpr uint8_t key_escape = 0x01, key_return = 0x1C, key_lshift = 0x2A, key_space = 0x39;
constexpr uint8_t key_up = 0xC8, key_left = 0xCB, key_right = 0xCD, key_down = 0xD0;

// What the snapshot holds now, after SDL has taken in what the controllers did.
std::array<uint8_t, 256> snapshot() {
    SDL_Event event;
    SDL_JoystickUpdate();
    while (SDL_PollEvent(&event)) platform::sdl::gamepad_event(event);
    std::array<uint8_t, 256> keys{};
    platform::sdl::gamepad_keys(keys.data());
    return keys;
}

// The keys held, as a list of codes, for readable failures.
std::vector<int> held(const std::array<uint8_t, 256>& keys) {
    std::vector<int> codes;
    for (int k = 0; k < 256; ++k)
        if (keys[k]) codes.push_back(k);
    return codes;
}

class Gamepad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError(); }
    void TearDown() override {
        platform::sdl::gamepads_close();
        SDL_Quit();
    }

    // Plugs in a virtual controller with every button and axis; returns its joystick.
    SDL_Joystick* plug_in() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                                    SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        return joystick;
    }
};

}  // namespace

TEST_F(Gamepad, ButtonsAndTheStickBeyondItsDeadZoneHoldTheKeysTheyStandFor) {
    SDL_Joystick* pad = plug_in();
    ASSERT_TRUE(held(snapshot()).empty());

    struct Press {
        SDL_GameControllerButton button;
        uint8_t key;
    };
    const Press presses[] = {
        {SDL_CONTROLLER_BUTTON_A, key_space},           {SDL_CONTROLLER_BUTTON_X, key_lshift},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, key_lshift}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, key_lshift},
        {SDL_CONTROLLER_BUTTON_START, key_return},      {SDL_CONTROLLER_BUTTON_BACK, key_escape},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, key_up},        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, key_down},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, key_left},    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, key_right},
    };
    for (const Press& p : presses) {
        SDL_JoystickSetVirtualButton(pad, p.button, 1);
        EXPECT_EQ(held(snapshot()), std::vector<int>{p.key}) << "button " << p.button;
        SDL_JoystickSetVirtualButton(pad, p.button, 0);
        EXPECT_TRUE(held(snapshot()).empty()) << "button " << p.button << " let go";
    }
    // Neither B nor Y nor the right stick stands for a key.
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 1);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    EXPECT_TRUE(held(snapshot()).empty());
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 0);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 0);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 0);

    // The left stick: a quarter of its travel still reads as centred, a little more does not.
    struct Tilt {
        SDL_GameControllerAxis axis;
        int16_t value;
        std::vector<int> keys;
    };
    const Tilt tilts[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, 8000, {}},         {SDL_CONTROLLER_AXIS_LEFTX, -8000, {}},
        {SDL_CONTROLLER_AXIS_LEFTX, 9000, {key_right}}, {SDL_CONTROLLER_AXIS_LEFTX, -9000, {key_left}},
        {SDL_CONTROLLER_AXIS_LEFTY, 8000, {}},         {SDL_CONTROLLER_AXIS_LEFTY, 32767, {key_down}},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, {key_up}},
    };
    for (const Tilt& t : tilts) {
        SDL_JoystickSetVirtualAxis(pad, t.axis, t.value);
        EXPECT_EQ(held(snapshot()), t.keys) << "axis " << t.axis << " at " << t.value;
        SDL_JoystickSetVirtualAxis(pad, t.axis, 0);
    }
    SDL_JoystickClose(pad);
}

TEST_F(Gamepad, APadPluggedInDuringPlayCountsAndOnePulledOutLetsGoOfWhatItHeld) {
    EXPECT_TRUE(held(snapshot()).empty());
    SDL_Joystick* first = plug_in();
    SDL_Joystick* second = plug_in();
    SDL_JoystickSetVirtualButton(first, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    EXPECT_EQ(held(snapshot()), (std::vector<int>{key_space, key_right}));

    // Pulled out with A still down: Space is let go, the other pad's Right stays.
    const SDL_JoystickID gone = SDL_JoystickInstanceID(first);
    SDL_JoystickClose(first);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == gone) {
            ASSERT_EQ(SDL_JoystickDetachVirtual(i), 0);
        }
    }
    EXPECT_EQ(held(snapshot()), std::vector<int>{key_right});
    SDL_JoystickClose(second);
}
