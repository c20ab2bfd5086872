// Keyboard snapshots and the mouse cursor.
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

TEST_F(InputTest, CursorIsHeldInsideTheBoundsNotTheSumOfMoves) {
    mouse_init();
    EXPECT_EQ(mouse_bounds, (Rect{0, 0, 800, 600}));  // set by the graphics set-up
    headless::add_mouse_motion(-500, -300);
    mouse_poll();
    EXPECT_EQ(mouse_x, 0);
    EXPECT_EQ(mouse_y, 0);
    EXPECT_EQ(mouse_dx, -500);
    headless::add_mouse_motion(10, 0);
    mouse_poll();
    EXPECT_EQ(mouse_x, 10);
    headless::add_mouse_motion(5000, 5000);
    mouse_poll();
    EXPECT_EQ(mouse_x, 800);
    EXPECT_EQ(mouse_y, 600);
    mouse_release();
}

TEST_F(InputTest, SwappedBoundsAreNormalisedAndStaySwapped) {
    mouse_init();
    mouse_set_bounds(300, 400, 100, 200);
    headless::add_mouse_motion(50, 50);
    mouse_poll();
    EXPECT_EQ(mouse_bounds, (Rect{100, 200, 300, 400}));
    EXPECT_EQ(mouse_x, 100);
    EXPECT_EQ(mouse_y, 200);
    // Only the left and bottom edges are pulled onto the screen.
    mouse_set_bounds(-50, -50, 2000, 2000);
    mouse_poll();
    EXPECT_EQ(mouse_bounds, (Rect{0, -50, 2000, 600}));
    mouse_release();
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
