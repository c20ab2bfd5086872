// The page as the game's window: the canvas that shows the picture, the page's clock, and what
// the page does when it is hidden or loses the keyboard.
//
// The picture goes into the canvas (id "screen", 800x600) as it is, pixel for pixel; the page's
// style scales it up to whole multiples. A page has no window to close: the game never gets a
// close request here.
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/web/page.h"
#include "platform/web/web.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform {
namespace {

std::deque<Message> messages;
std::vector<uint8_t> rgba;  // the picture as the canvas takes it: bytes R, G, B, A

// The clock starts a long way from zero, as a system clock does: nothing may rely on it being 0.
constexpr double start_ms = 1000000.0;

double hidden_total = 0;   // milliseconds the page spent hidden before now
double hidden_since = -1;  // when the page was hidden, or -1 while it shows
uint32_t floor_ms = 0;     // the game's clock is not behind this: the end of a wait or a sleep
bool floor_set = false;

uint32_t real_ms() {
    const double now = hidden_since >= 0 ? hidden_since : emscripten_get_now();
    return static_cast<uint32_t>(static_cast<int64_t>(start_ms + now - hidden_total));
}

// Ahead of real time: the game was told a wait or a sleep is over that has not yet passed.
bool ahead(uint32_t real) { return floor_set && static_cast<int32_t>(floor_ms - real) > 0; }

// A step may start this much before real time reaches the game's clock: a display that refreshes
// a little faster than a frame of 33 ms would otherwise find each frame just not due, and halve
// the pace. The game's clock then runs a few milliseconds ahead, and a skipped refresh now and
// then brings it back.
constexpr uint32_t early_ms = 10;

EM_BOOL visibility_changed(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    const double now = emscripten_get_now();
    if (event->hidden && hidden_since < 0) {
        hidden_since = now;
        web::release_all_keys();
        web::pause_sound(true);
    } else if (!event->hidden && hidden_since >= 0) {
        hidden_total += now - hidden_since;
        hidden_since = -1;
        web::pause_sound(false);
    }
    return EM_FALSE;
}

EM_JS(void, show_in_canvas, (const uint8_t* rgba, int width, int height), {
    const canvas = document.getElementById("screen");
    if (!canvas) return;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    canvas.getContext("2d").putImageData(new ImageData(bytes, width, height), 0, 0);
    if (window.brickrun) window.brickrun.presents += 1;
});

EM_JS(void, tell_the_player, (const char* line), {
    const text = UTF8ToString(line);
    console.error(text);
    if (window.brickrun && window.brickrun.fail) window.brickrun.fail(text);
});

}  // namespace

// ---- window and messages -------------------------------------------------------------------------

bool backend::window_create(const char*, int, int, int, int) {
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, visibility_changed);
    web::watch_keys();
    web::watch_pointer();
    audio::load();
    return true;
}

void window_place(int, int, int, int) {}
void window_show() {}

bool backend::message_take(Message& message) {
    if (messages.empty()) return false;
    message = messages.front();
    messages.pop_front();
    return true;
}

void post_quit() { messages.push_back(Message::quit); }

void report_fatal(const std::string& line) { tell_the_player(line.c_str()); }

// The page's files are where the page put them: its own file system's root.
std::string program_folder() { return ""; }

// ---- display ---------------------------------------------------------------------------------------

bool backend::display_create(int, int, bool) { return true; }
void backend::display_release() { rgba = {}; }

void backend::display_show(const uint32_t* pixels, int width, int height) {
    if (!pixels) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    rgba.resize(count * 4);
    // The screen shows colour only: the picture's alpha is what the drawing left there.
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        rgba[4 * i] = static_cast<uint8_t>(p >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(p >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(p);
        rgba[4 * i + 3] = 0xFF;
    }
    show_in_canvas(rgba.data(), width, height);
}

// ---- clock -----------------------------------------------------------------------------------------

uint32_t backend::time_ms() {
    const uint32_t real = real_ms();
    return ahead(real) ? floor_ms : real;
}

void backend::sleep_ms(uint32_t ms) {
    floor_ms = backend::time_ms() + ms;
    floor_set = true;
}

void backend::wait_until(int32_t deadline) {
    if (static_cast<int32_t>(backend::time_ms() - static_cast<uint32_t>(deadline)) >= 0) return;
    floor_ms = static_cast<uint32_t>(deadline);
    floor_set = true;
}

namespace web {

bool caught_up() { return !ahead(real_ms() + early_ms); }
bool hidden() { return hidden_since >= 0; }

}  // namespace web
}  // namespace platform
