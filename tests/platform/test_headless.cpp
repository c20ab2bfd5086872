// The headless backend's input scripts and virtual clock.
#include "platform/headless/headless.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace platform;

namespace {
bool parse(const std::string& text, std::vector<headless::InputChange>& out, std::string& error) {
    std::istringstream in(text);
    return headless::parse_script(in, out, error);
}
}  // namespace

TEST(HeadlessScript, ReadsMomentsKeysAndComments) {
    std::vector<headless::InputChange> script;
    std::string error;
    ASSERT_TRUE(parse("# start a game\n3 +RETURN\n\n5 -RETURN +RIGHT +MOUSE1  # run\n5 -MOUSE1\n",
                      script, error))
        << error;
    ASSERT_EQ(script.size(), 5u);
    EXPECT_EQ(script[0].after_present, 3);
    EXPECT_EQ(script[0].key, 0x1C);
    EXPECT_TRUE(script[0].down);
    EXPECT_EQ(script[2].key, 0xCD);
    EXPECT_EQ(script[3].key, headless::mouse1);
    EXPECT_FALSE(script[4].down);
}

TEST(HeadlessScript, NamesTheLineOfEachMistake) {
    std::vector<headless::InputChange> script;
    std::string error;
    EXPECT_FALSE(parse("1 +RETURN\n2 +ENTER\n", script, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parse("5 +UP\n4 -UP\n", script, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(parse("x +UP\n", script, error));
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    EXPECT_FALSE(parse("1 RETURN\n", script, error));
    EXPECT_FALSE(parse("-3 +UP\n", script, error));
    EXPECT_FALSE(parse("1 +\n", script, error));
}

TEST(HeadlessScript, ReadsThePointerTheWheelAndEveryKeyByName) {
    std::vector<headless::InputChange> script;
    std::string error;
    ASSERT_TRUE(parse("2 @170,-3 +MOUSE2 +MOUSE3 WHEELUP WHEELDOWN +LCONTROL +Z +TAB +F2 +0\n",
                      script, error))
        << error;
    ASSERT_EQ(script.size(), 10u);
    EXPECT_EQ(script[0].key, headless::pointer);
    EXPECT_EQ(script[0].x, 170);
    EXPECT_EQ(script[0].y, -3);
    EXPECT_EQ(script[1].key, headless::mouse2);
    EXPECT_EQ(script[2].key, headless::mouse3);
    EXPECT_EQ(script[3].key, headless::wheel_up);
    EXPECT_EQ(script[4].key, headless::wheel_down);
    EXPECT_EQ(script[5].key, 0x1D);
    EXPECT_EQ(script[6].key, 0x2C);
    EXPECT_EQ(script[7].key, 0x0F);
    EXPECT_EQ(script[8].key, 0x3C);
    EXPECT_EQ(script[9].key, 0x0B);
    for (const char* wrong : {"1 @1\n", "1 @1,\n", "1 @,1\n", "1 @1, 2\n", "1 @10000,0\n",
                              "1 @1,2,3\n", "1 @x,1\n", "1 +WHEELUP\n", "1 WHEELLEFT\n"}) {
        EXPECT_FALSE(parse(wrong, script, error)) << wrong;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
}

TEST(HeadlessBackend, ThePointerReadsWhereTheScriptPutsItAndEachNotchOnce) {
    headless::reset();
    std::vector<headless::InputChange> script;
    std::string error;
    ASSERT_TRUE(parse("1 @12,34 +MOUSE3 WHEELUP WHEELUP\n2 WHEELDOWN -MOUSE3 +MOUSE2\n", script,
                      error));
    headless::set_script(script);
    ASSERT_TRUE(device_create(800, 600, true));
    PointerState pointer;
    device_present();
    ASSERT_TRUE(pointer_read(pointer));
    EXPECT_EQ(pointer.x, 12);
    EXPECT_EQ(pointer.y, 34);
    EXPECT_EQ(pointer.wheel, 2);
    EXPECT_EQ(pointer.buttons[2], 0x80);
    ASSERT_TRUE(pointer_read(pointer));
    EXPECT_EQ(pointer.wheel, 0) << "a notch turns once";
    device_present();
    ASSERT_TRUE(pointer_read(pointer));
    EXPECT_EQ(pointer.wheel, -1);
    EXPECT_EQ(pointer.buttons[1], 0x80);
    EXPECT_EQ(pointer.buttons[2], 0);
    EXPECT_EQ(pointer.x, 12) << "the pointer stays where it was put";
    device_release();
}

TEST(HeadlessBackend, ScriptedKeysActAfterTheirPresent) {
    headless::reset();
    std::vector<headless::InputChange> script;
    std::string error;
    ASSERT_TRUE(parse("1 +SPACE\n2 -SPACE +MOUSE1\n", script, error));
    headless::set_script(script);
    ASSERT_TRUE(device_create(800, 600, true));
    uint8_t keys[256];
    MouseState mouse;
    keyboard_read(keys);
    EXPECT_EQ(keys[0x39], 0);
    device_present();
    keyboard_read(keys);
    mouse_read(mouse);
    EXPECT_EQ(keys[0x39], 0x80);
    EXPECT_EQ(mouse.buttons[0], 0);
    device_present();
    keyboard_read(keys);
    mouse_read(mouse);
    EXPECT_EQ(keys[0x39], 0);
    EXPECT_EQ(mouse.buttons[0], 0x80);
    device_release();
}

TEST(HeadlessBackend, ClockMovesOnlyByPresentsWaitsAndSleeps) {
    headless::reset();
    ASSERT_TRUE(device_create(800, 600, true));
    EXPECT_EQ(time_ms(), headless::start_time);
    device_present();
    EXPECT_EQ(time_ms(), headless::start_time + 33);
    wait_until(static_cast<int32_t>(headless::start_time + 100));
    EXPECT_EQ(time_ms(), headless::start_time + 100);
    wait_until(static_cast<int32_t>(headless::start_time));  // in the past: no change
    EXPECT_EQ(time_ms(), headless::start_time + 100);
    sleep_ms(50);
    EXPECT_EQ(time_ms(), headless::start_time + 150);
    headless::set_present_ms(0);
    device_present();
    EXPECT_EQ(time_ms(), headless::start_time + 150);
    headless::reset();  // presents take their 33 ms again
    device_present();
    EXPECT_EQ(time_ms(), headless::start_time + 33);
    device_release();
}
