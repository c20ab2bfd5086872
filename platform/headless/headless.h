// Controls of the headless backend, for the headless runner, tests and benchmarks.
//
// The headless backend opens no window and needs no display. Its clock is virtual: it starts at
// start_time, every present moves it 33 ms on (or what set_present_ms says), a wait jumps it to the
// deadline and a sleep moves it by the time slept, so a run is the same every time. Keys and mouse
// buttons come from a script of moments ("after present N, these keys are down"), and every
// presented picture is handed to a hook.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace platform::headless {

constexpr uint32_t start_time = 1000000;  // virtual milliseconds at reset
constexpr uint32_t present_ms = 33;       // virtual time one present takes, unless set otherwise

// The key code scripts use for the left mouse button (DirectInput codes end at 255).
constexpr int mouse1 = 256;

// One change of input: after present `after_present`, `key` is down or up.
struct InputChange {
    int after_present = 0;
    int key = 0;  // DirectInput code, or mouse1
    bool down = false;
};

// Reads a script: one line per moment, "N +KEY -KEY ...", '#' starts a comment, N never decreases.
// On failure returns false with error naming the line ("line 3: unknown key 'ENTER'").
bool parse_script(std::istream& in, std::vector<InputChange>& out, std::string& error);
// parse_script on the file at path; error is "cannot read the input script" when it does not open.
bool read_script_file(const std::string& path, std::vector<InputChange>& out, std::string& error);

// A whole number written out in full (spaces before it, a sign, digits), as scripts and the
// headless runner's options give them; false for anything else or a number beyond a long.
bool read_whole(const std::string& text, long& value);

// The DirectInput code for a script name such as "RETURN", or -1.
int key_code(const std::string& name);

// Back to the start: clock at start_time, presents taking present_ms, no presents, no script, no
// keys down, no hook, no messages queued.
void reset();

// The virtual time each present takes from now on. A test sets 0 so that only the frame pace moves
// the clock: with presents taking a whole frame, a missing or short wait would go unseen. The level
// banner, which presents until the clock reaches its end, then never ends.
void set_present_ms(uint32_t ms);
// Sets the virtual clock's reading, for tests that play one moment of the game twice.
void set_time(uint32_t ms);

void set_script(std::vector<InputChange> script);
// Sets a key (or mouse1) directly, from now on, for tests.
void set_key(int key, bool down);
// Mouse movement the next mouse read reports.
void add_mouse_motion(int dx, int dy);
// The user clicks the window's close button.
void request_close();

// Called for every present with its number (1 for the first) and the picture as it stands.
using PresentHook = std::function<void(int present, const uint32_t* pixels, int width, int height)>;
void set_present_hook(PresentHook hook);

int presents();
// The last picture shown (width * height ARGB), empty before the first present.
const std::vector<uint32_t>& last_picture();

}  // namespace platform::headless
