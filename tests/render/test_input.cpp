// Keyboard snapshots and the mouse buttons.
#include "platform/headless/headless.h"
#include "render/input.h"
#include "tests/support/test_support.h"

namespace headless = platform::headless;

using InputTest = DeviceTest;

TEST_F(InputTest, KeyIsNewlyPressedOnlyOnTheFirstPollItIsDown) {
    keyboard_init();
    EXPECT_FALSE(key_held(DIK_UP));
    EXPECT_FALSE(key_pressed(DIK_UP));
    headless::set_key(DIK_UP, true);
    keyboard_poll();
    EXPECT_TRUE(key_pressed(DIK_UP));
    keyboard_poll();
    EXPECT_TRUE(key_held(DIK_UP));
    EXPECT_FALSE(key_pressed(DIK_UP));
    headless::set_key(DIK_UP, false);
    keyboard_poll();
    EXPECT_FALSE(key_held(DIK_UP));
    headless::set_key(DIK_UP, true);
    keyboard_poll();
    EXPECT_TRUE(key_pressed(DIK_UP));
    keyboard_release();
}

TEST_F(InputTest, LeftButtonReadsAs0x80AndKeepsThePreviousState) {
    mouse_init();
    headless::set_key(headless::mouse1, true);
    mouse_poll();
    EXPECT_EQ(mouse_left_down, 0x80);
    EXPECT_EQ(prev_mouse_left_down, 0);
    headless::set_key(headless::mouse1, false);
    mouse_poll();
    EXPECT_EQ(mouse_left_down, 0);
    EXPECT_EQ(prev_mouse_left_down, 0x80);
    mouse_release();
}
