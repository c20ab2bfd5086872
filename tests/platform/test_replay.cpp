// Recordings of what the game reads, and replaying them through platform.h.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/replay_format.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace platform;
using replay::Event;

namespace {

std::string temp_path(const std::string& name) {
    return scratch_files::scratch(name).string();
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spill(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Event make(Event::Type type, uint32_t value = 0, bool ok = true) {
    Event e;
    e.type = type;
    e.value = value;
    e.ok = ok;
    return e;
}

Event keys_down(std::initializer_list<int> codes) {
    Event e = make(Event::keys_read);
    for (int c : codes) e.keys[c] = 0x80;
    return e;
}

Event mouse(int dx, int dy, int dz, uint8_t left, uint8_t right) {
    Event e = make(Event::mouse_read);
    e.mouse.dx = dx;
    e.mouse.dy = dy;
    e.mouse.dz = dz;
    e.mouse.buttons[0] = left;
    e.mouse.buttons[1] = right;
    return e;
}

std::string write_events(const std::string& path, const std::vector<Event>& events,
                         replay::Ending ending = replay::Ending::game_over) {
    replay::Writer writer;
    std::string error;
    EXPECT_TRUE(writer.open(path, error)) << error;
    for (const auto& e : events) writer.put(e);
    EXPECT_TRUE(writer.finish(ending, error)) << error;
    return slurp(path);
}

// What opening the file says: empty when it opens.
std::string open_error(const std::string& path) {
    replay::Reader reader;
    std::string error;
    return reader.open(path, error) ? "" : error;
}

bool same(const Event& a, const Event& b) {
    if (a.type != b.type || a.ok != b.ok) return false;
    if (a.type == Event::keys_read) return !a.ok || a.keys == b.keys;
    if (a.type == Event::mouse_read) {
        return !a.ok || (a.mouse.dx == b.mouse.dx && a.mouse.dy == b.mouse.dy &&
                         a.mouse.dz == b.mouse.dz &&
                         std::equal(a.mouse.buttons, a.mouse.buttons + 4, b.mouse.buttons));
    }
    if (a.type == Event::pointer_read) {
        return !a.ok || (a.pointer.x == b.pointer.x && a.pointer.y == b.pointer.y &&
                         a.pointer.wheel == b.pointer.wheel &&
                         std::equal(a.pointer.buttons, a.pointer.buttons + 3, b.pointer.buttons));
    }
    return a.value == b.value;
}

Event pointer(int x, int y, int wheel, uint8_t left, uint8_t right, uint8_t middle) {
    Event e = make(Event::pointer_read);
    e.pointer.x = x;
    e.pointer.y = y;
    e.pointer.wheel = wheel;
    e.pointer.buttons[0] = left;
    e.pointer.buttons[1] = right;
    e.pointer.buttons[2] = middle;
    return e;
}

// Every kind of event, with values at the edges: a clock that wraps, a wait already past, motion
// both ways, failed reads, every key down at once and up again.
std::vector<Event> assorted() {
    Event all = make(Event::keys_read);
    all.keys.fill(0x80);
    std::vector<Event> events = {
        make(Event::opened, replay::open_window, true), make(Event::opened, replay::open_display, false),
        make(Event::clock, 0xFFFFFFF0u), make(Event::clock, 5), make(Event::wait, 2),
        make(Event::wait, 0x7FFFFFFF), make(Event::sleep, 250), make(Event::sleep, 0),
        keys_down({0x1C}), keys_down({0x1C, 0xCD}), make(Event::keys_read, 0, false), all,
        keys_down({}), mouse(-3, 70000, -2147483647 - 1, 0x80, 0), mouse(0, 0, 0, 0, 0x80),
        make(Event::mouse_read, 0, false), make(Event::message, replay::take_none),
        make(Event::message, replay::take_close), make(Event::message, replay::take_quit),
        make(Event::opened, replay::open_mouse, true), pointer(799, 599, 0, 0x80, 0, 0),
        pointer(-40, 2147483647, -3, 0, 0x80, 0x80), make(Event::pointer_read, 0, false),
        pointer(0, 0, 0, 0, 0, 0)};
    // A stretch of identical frames, which copies take over.
    for (int frame = 0; frame < 50; ++frame) {
        for (Event e : {make(Event::clock, 1000 + 33 * frame), make(Event::wait, 1000 + 33 * frame),
                        keys_down({0xCD}), make(Event::message, 0)})
            events.push_back(e);
    }
    return events;
}

}  // namespace

TEST(ReplayFormat, GivesBackEveryEventInOrderAndHowTheRecordingEnded) {
    const std::vector<Event> events = assorted();
    for (auto ending : {replay::Ending::game_over, replay::Ending::cut}) {
        const std::string path = temp_path("all.rec");
        write_events(path, events, ending);
        replay::Reader reader;
        std::string error;
        ASSERT_TRUE(reader.open(path, error)) << error;
        for (size_t i = 0; i < events.size(); ++i) {
            Event e;
            ASSERT_TRUE(reader.next(e, error)) << error;
            ASSERT_TRUE(same(e, events[i])) << "event " << i << " of type " << int(events[i].type);
        }
        Event e;
        ASSERT_TRUE(reader.next(e, error));
        EXPECT_EQ(e.type, Event::end);
        EXPECT_EQ(reader.ending(), ending);
    }
}

// A minute of steady play: six reads a frame, the keys changing twice a second.
TEST(ReplayFormat, AMinuteOfPlayTakesAFewKilobytes) {
    auto minute = [](bool jitter) {
        std::vector<Event> events;
        uint32_t now = 5000;
        for (int frame = 0; frame < 1800; ++frame) {
            const uint32_t work = jitter ? frame * 7 % 5 : 0;  // what a real clock adds
            events.push_back(make(Event::clock, now + work));
            events.push_back(make(Event::wait, now + 33));
            now += 33;
            events.push_back(make(Event::clock, now));
            events.push_back(mouse(0, 0, 0, 0, 0));
            events.push_back(frame / 15 % 2 ? keys_down({0xCD, 0x39}) : keys_down({0xCD}));
            events.push_back(make(Event::message, 0));
        }
        return events;
    };
    const size_t steady = write_events(temp_path("steady.rec"), minute(false)).size();
    const size_t real = write_events(temp_path("real.rec"), minute(true)).size();
    EXPECT_LT(steady, 1500u);
    EXPECT_LT(real, 8000u);
}

TEST(ReplayFormat, RefusesDamagedFilesNamingTheDamage) {
    const std::string path = temp_path("good.rec");
    const std::string good = write_events(path, assorted());
    ASSERT_EQ(open_error(path), "");
    const std::string bad = temp_path("bad.rec");
    auto error_for = [&](const std::string& bytes) {
        spill(bad, bytes);
        return open_error(bad);
    };

    EXPECT_NE(error_for("BRREPLAX" + good.substr(8)).find("not a brickrun recording"), std::string::npos);
    std::string other = good;
    other[8] = 2;
    EXPECT_EQ(error_for(other), "format version 2, this program reads version 1");

    // Cut anywhere: in the header, in the middle of a record, between records, at the checksum.
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_NE(error_for(good.substr(0, cut)), "") << "cut at " << cut;
    EXPECT_NE(error_for(good.substr(0, good.size() - 5)).find("without its end marker"), std::string::npos);
    EXPECT_NE(error_for(good.substr(0, good.size() - 1)).find("cut short"), std::string::npos);
    EXPECT_NE(error_for(good + "x").find("bytes follow"), std::string::npos);

    // Any single byte changed anywhere past the magic.
    for (size_t at = 9; at < good.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string flipped = good;
            flipped[at] = static_cast<char>(flipped[at] ^ flip);
            EXPECT_NE(error_for(flipped), "") << "byte " << at << " ^ " << int(flip);
        }
    }
}

// Records that do not parse are named as such before the checksum is looked at, and no count read
// from the file is trusted.
TEST(ReplayFormat, NamesRecordsThatDoNotParse) {
    const std::string header = std::string("BRREPLAY") + '\x01';
    const std::string bad = temp_path("bad.rec");
    auto error_for = [&](const std::string& records) {
        spill(bad, header + records);
        return open_error(bad);
    };
    EXPECT_NE(error_for("\xD0").find("unknown record tag 0xD0"), std::string::npos);
    // A pointer record holds three buttons, or says the read failed; its place comes whole.
    EXPECT_NE(error_for("\xC9").find("unknown record tag 0xC9"), std::string::npos);
    EXPECT_NE(error_for("\xC1\x02").find("cut short inside a record"), std::string::npos);
    EXPECT_NE(error_for("\x02").find("unknown end marker"), std::string::npos);
    EXPECT_NE(error_for("\x52\xCD\x1C").find("key code 28 out of order"), std::string::npos);
    EXPECT_NE(error_for("\x5F\xFF\xFF\xFF\xFF\x0F").find("more than 256"), std::string::npos);
    EXPECT_NE(error_for(std::string("\x20\x11\x05", 3)).find("reaches back before"), std::string::npos);
    EXPECT_NE(error_for("\x20\x10\xFF\xFF\xFF\xFF\x0F").find("copy count out of range"), std::string::npos);
    EXPECT_NE(error_for("\x2F\xFF\xFF\xFF\xFF\x7F").find("clock step out of range"), std::string::npos);
    EXPECT_NE(error_for("\x2F\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x01").find("past ten bytes"),
              std::string::npos);
}

// The calls the game makes, recorded from the headless backend and answered from the recording.
TEST(ReplayThroughPlatform, AnswersTheGameWithWhatWasRecordedAndStopsOutOfStep) {
    headless::reset();
    replay::reset();
    const std::string path = temp_path("calls.rec");
    std::string error;
    ASSERT_TRUE(replay::record_to(path, error)) << error;
    uint8_t keys[256];
    MouseState mouse;
    Message message;
    headless::set_key(0xCD, true);
    headless::add_mouse_motion(4, -2);
    headless::request_close();
    EXPECT_TRUE(keyboard_open());
    const uint32_t start = time_ms();
    wait_until(static_cast<int32_t>(start + 40));
    sleep_ms(250);
    const uint32_t later = time_ms();
    EXPECT_TRUE(keyboard_read(keys));
    EXPECT_TRUE(mouse_read(mouse));
    EXPECT_TRUE(message_take(message));
    EXPECT_FALSE(message_take(message));
    ASSERT_TRUE(replay::finish_recording(true, error)) << error;

    // The backend now says something else; the replay does not ask it.
    headless::reset();
    ASSERT_TRUE(replay::replay_from(path, error)) << error;
    EXPECT_TRUE(keyboard_open());
    EXPECT_EQ(time_ms(), start);
    wait_until(static_cast<int32_t>(start + 40));
    sleep_ms(250);
    EXPECT_EQ(time_ms(), later);
    std::fill_n(keys, 256, uint8_t{0x11});
    EXPECT_TRUE(keyboard_read(keys));
    EXPECT_EQ(keys[0xCD], 0x80);
    EXPECT_EQ(keys[0x1C], 0);
    mouse = MouseState{};
    EXPECT_TRUE(mouse_read(mouse));
    EXPECT_EQ(mouse.dx, 4);
    EXPECT_EQ(mouse.dy, -2);
    message = Message::quit;
    EXPECT_TRUE(message_take(message));
    EXPECT_EQ(message, Message::close);
    EXPECT_FALSE(message_take(message));
    EXPECT_TRUE(replay::finish_replay(error)) << error;

    // Out of step: another kind of read, another deadline, a read past a game that ended, a game
    // that ends with records left. A replay out of step stops: every later read fails and leaves
    // the game's state alone, and the clock stands still.
    auto broken = [&](auto&& game) {
        EXPECT_TRUE(replay::replay_from(path, error)) << error;
        game();
        EXPECT_TRUE(replay::stopped());
        const std::string what = replay::broken();
        uint8_t after[256];
        std::fill_n(after, 256, uint8_t{0x11});
        EXPECT_FALSE(keyboard_read(after));
        EXPECT_EQ(after[0xCD], 0x11);
        EXPECT_EQ(time_ms(), time_ms());
        replay::reset();
        return what;
    };
    EXPECT_NE(broken([&] { time_ms(); }).find("asks for a clock reading, the recording holds a device opening"),
              std::string::npos);
    EXPECT_NE(broken([&] {
                  keyboard_open();
                  time_ms();
                  wait_until(static_cast<int32_t>(start + 41));
              }).find("waits for"),
              std::string::npos);
    EXPECT_NE(broken([&] {
                  keyboard_open();
                  time_ms();
                  wait_until(static_cast<int32_t>(start + 40));
                  sleep_ms(250);
                  time_ms();
                  keyboard_read(keys);
                  mouse_read(mouse);
                  message_take(message);
                  message_take(message);
                  message_take(message);
              }).find("the recorded game ended there"),
              std::string::npos);
    ASSERT_TRUE(replay::replay_from(path, error));
    keyboard_open();
    EXPECT_FALSE(replay::finish_replay(error));
    EXPECT_NE(error.find("the recording goes on with a clock reading"), std::string::npos) << error;
    headless::reset();
}

// A read that failed when recorded (the window had lost the focus) fails again and leaves the
// game's snapshot as it was, as the backends' own failed reads do.
TEST(ReplayThroughPlatform, AFailedReadLeavesTheGamesSnapshotAlone) {
    replay::reset();
    const std::string path = temp_path("failed.rec");
    write_events(path, {make(Event::keys_read, 0, false), make(Event::mouse_read, 0, false)});
    std::string error;
    ASSERT_TRUE(replay::replay_from(path, error)) << error;
    uint8_t keys[256];
    std::fill_n(keys, 256, uint8_t{0x80});
    EXPECT_FALSE(keyboard_read(keys));
    EXPECT_EQ(std::count(keys, keys + 256, uint8_t{0x80}), 256);
    MouseState mouse;
    mouse.dx = 7;
    mouse.buttons[0] = 0x80;
    EXPECT_FALSE(mouse_read(mouse));
    EXPECT_EQ(mouse.dx, 7);
    EXPECT_EQ(mouse.buttons[0], 0x80);
    EXPECT_TRUE(replay::finish_replay(error)) << error;
}

// A recording cut off by a present limit says when all of it has been handed out, so the run that
// replays it stops exactly there; repeated reads, stored as copies, count one event each. A read
// past that point finds the replay stopped, which is no fault.
TEST(ReplayThroughPlatform, ACutRecordingSaysWhenItsLastEventHasBeenRead) {
    replay::reset();
    const std::string path = temp_path("cut.rec");
    std::vector<Event> events(40, make(Event::clock, 5));
    events.push_back(make(Event::clock, 9));
    for (auto ending : {replay::Ending::cut, replay::Ending::game_over}) {
        write_events(path, events, ending);
        std::string error;
        ASSERT_TRUE(replay::replay_from(path, error)) << error;
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_FALSE(replay::at_cut_end()) << i;
            time_ms();
        }
        // A game that ended by itself ends its recording: there is no cut to stop at.
        EXPECT_EQ(replay::at_cut_end(), ending == replay::Ending::cut);
        EXPECT_FALSE(replay::stopped());
        if (ending == replay::Ending::cut) {
            EXPECT_EQ(time_ms(), 9u);  // one read too many: the clock stands still
            EXPECT_TRUE(replay::stopped());
            EXPECT_EQ(replay::broken(), "");
            EXPECT_FALSE(replay::at_cut_end());
        } else {
            EXPECT_TRUE(replay::finish_replay(error)) << error;
        }
        replay::reset();
    }
}
