// The program's own keys read from the game's key snapshots: each acts once as it goes down, an
// Alt+Return's Return stays from the game until let go, and a key found held after a gap in the
// snapshots does not act.
#include "platform/system_keys.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

constexpr uint8_t held = 0x80;
constexpr int key_return = 0x1C, key_m = 0x32, key_left_alt = 0x38, key_f4 = 0x3E, key_f10 = 0x44,
              key_f11 = 0x57, key_right_alt = 0xB8, key_space = 0x39;

struct Snapshot {
    uint8_t keys[256] = {};
    Snapshot(std::initializer_list<int> codes) {
        for (int code : codes) keys[code] = held;
    }
};

// What the reader makes of a snapshot of these keys, and the Return the game then gets.
struct Seen {
    platform::SystemKeys pressed;
    bool game_gets_return;
};
Seen look(platform::SystemKeyReader& reader, std::initializer_list<int> codes) {
    Snapshot snapshot(codes);
    const platform::SystemKeys pressed = reader.look(snapshot.keys);
    return {pressed, snapshot.keys[key_return] == held};
}

}  // namespace

TEST(SystemKeys, EachActsOnceAsItGoesDown) {
    platform::SystemKeyReader reader;
    EXPECT_FALSE(look(reader, {key_f4}).pressed.close);  // F4 alone is nothing
    EXPECT_TRUE(look(reader, {key_f4, key_left_alt}).pressed.close);
    EXPECT_FALSE(look(reader, {key_f4, key_left_alt}).pressed.close);  // still held
    EXPECT_FALSE(look(reader, {}).pressed.close);
    EXPECT_TRUE(look(reader, {key_right_alt, key_f4}).pressed.close);

    EXPECT_TRUE(look(reader, {key_f11}).pressed.switch_screen);
    EXPECT_FALSE(look(reader, {key_f11}).pressed.switch_screen);
    EXPECT_TRUE(look(reader, {key_f10}).pressed.switch_scaling);
    const Seen m = look(reader, {key_f10, key_m, key_space});
    EXPECT_TRUE(m.pressed.switch_sound);
    EXPECT_FALSE(m.pressed.close || m.pressed.switch_screen || m.pressed.switch_scaling);
    EXPECT_FALSE(look(reader, {key_m}).pressed.switch_sound);
}

TEST(SystemKeys, TheReturnOfAnAltReturnStaysFromTheGameUntilLetGo) {
    platform::SystemKeyReader reader;
    EXPECT_TRUE(look(reader, {key_return}).game_gets_return);  // Return alone is the game's
    EXPECT_FALSE(look(reader, {}).game_gets_return);

    const Seen both = look(reader, {key_left_alt, key_return});
    EXPECT_TRUE(both.pressed.switch_screen);
    EXPECT_FALSE(both.game_gets_return);
    // Alt let go first: the Return is still the switch's.
    EXPECT_FALSE(look(reader, {key_return}).game_gets_return);
    EXPECT_FALSE(look(reader, {key_return}).pressed.switch_screen);
    look(reader, {});
    EXPECT_TRUE(look(reader, {key_return}).game_gets_return);
    // Alt pressed onto a Return the game already has switches, and takes it from then on.
    const Seen late = look(reader, {key_return, key_right_alt});
    EXPECT_TRUE(late.pressed.switch_screen);
    EXPECT_FALSE(late.game_gets_return);
}

// A key that went down while the game could not look (the focus was in another window) is not the
// game's to act on; it acts once it has been seen up and goes down again.
TEST(SystemKeys, AfterAGapAKeyFoundHeldDoesNotAct) {
    platform::SystemKeyReader reader;
    look(reader, {});
    reader.lost_sight();
    const Seen found = look(reader, {key_left_alt, key_f4, key_m});
    EXPECT_FALSE(found.pressed.close);
    EXPECT_FALSE(found.pressed.switch_sound);
    look(reader, {});
    const Seen again = look(reader, {key_left_alt, key_f4, key_m});
    EXPECT_TRUE(again.pressed.close);
    EXPECT_TRUE(again.pressed.switch_sound);
}
