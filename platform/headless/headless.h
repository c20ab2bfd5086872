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

// The codes scripts use beyond the keys (DirectInput codes end at 255): the left, right and middle
// mouse buttons, which go down and up like keys; a notch of the wheel either way; and the pointer
// moving to a place over the picture.
constexpr int mouse1 = 256;
constexpr int mouse2 = 257;
constexpr int mouse3 = 258;
constexpr int wheel_up = 259;
constexpr int wheel_down = 260;
constexpr int pointer = 261;

// One change of input: after present `after_present`, `key` is down or up; a wheel notch is
// turned; or the pointer moves to (x, y), in picture pixels.
struct InputChange {
    int after_present = 0;
    int key = 0;  // DirectInput code, a mouse button, a wheel notch or the pointer
    bool down = false;
    int x = 0, y = 0;  // the pointer's place
};

// Reads a script: one line per moment, "N +KEY -KEY ...", '#' starts a comment, N never decreases.
// Besides keys (+KEY, -KEY, and +MOUSE1..3 for the buttons) a line may hold WHEELUP and WHEELDOWN
// (one notch each) and @X,Y (the pointer moves there; -9999 to 9999).
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
// Sets a key (or a mouse button) directly, from now on, for tests.
void set_key(int key, bool down);
// Mouse movement the next mouse read reports.
void add_mouse_motion(int dx, int dy);
// Puts the pointer at (x, y) in picture pixels, from now on.
void set_pointer(int x, int y);
// Notches of the wheel (up positive) the next pointer read reports.
void turn_wheel(int notches);
// The user clicks the window's close button.
void request_close();

// Called for every present with its number (1 for the first) and the picture as it stands.
using PresentHook = std::function<void(int present, const uint32_t* pixels, int width, int height)>;
void set_present_hook(PresentHook hook);

int presents();
// The last picture shown (width * height ARGB), empty before the first present.
const std::vector<uint32_t>& last_picture();

}  // namespace platform::headless
