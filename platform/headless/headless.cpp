// The headless backend: no window, a virtual clock, scripted input, pictures kept in memory.
#include "platform/headless/headless.h"

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <deque>
#include <istream>
#include <fstream>
#include <sstream>
#include <utility>

namespace platform {

namespace {

struct Headless {
    uint32_t clock = headless::start_time;
    uint32_t present_ms = headless::present_ms;
    int presents = 0;
    std::vector<headless::InputChange> script;
    size_t script_next = 0;
    std::array<bool, 257> down{};  // DirectInput codes, then the left mouse button
    int mouse_dx = 0, mouse_dy = 0;
    std::deque<Message> messages;
    headless::PresentHook hook;
    std::vector<uint32_t> picture;
};

Headless state;

// Applies every script line whose moment has come: lines for present N act after present N.
void apply_script() {
    while (state.script_next < state.script.size() &&
           state.script[state.script_next].after_present <= state.presents) {
        const auto& change = state.script[state.script_next++];
        state.down[change.key] = change.down;
    }
}

struct KeyName {
    const char* name;
    int code;
};
constexpr KeyName key_names[] = {
    {"ESCAPE", 0x01}, {"RETURN", 0x1C}, {"S", 0x1F},     {"D", 0x20},
    {"LSHIFT", 0x2A}, {"RSHIFT", 0x36}, {"SPACE", 0x39}, {"UP", 0xC8},
    {"LEFT", 0xCB},   {"RIGHT", 0xCD},  {"DOWN", 0xD0},  {"MOUSE1", headless::mouse1},
};

}  // namespace

// ---- window and messages -------------------------------------------------------------------------

bool backend::window_create(const char*, int, int, int, int) { return true; }
void window_place(int, int, int, int) {}
void window_show() {}

bool backend::message_take(Message& message) {
    if (state.messages.empty()) return false;
    message = state.messages.front();
    state.messages.pop_front();
    return true;
}

void post_quit() { state.messages.push_back(Message::quit); }

void report_fatal(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

// Headless programs are told where their data is (--data), or run in it.
std::string program_folder() { return ""; }

// ---- clock -----------------------------------------------------------------------------------------

uint32_t backend::time_ms() { return state.clock; }
void backend::sleep_ms(uint32_t ms) { state.clock += ms; }

void backend::wait_until(int32_t deadline) {
    if (static_cast<int32_t>(state.clock - static_cast<uint32_t>(deadline)) < 0)
        state.clock = static_cast<uint32_t>(deadline);
}

// ---- display ---------------------------------------------------------------------------------------

bool backend::display_create(int, int, bool) { return true; }
void backend::display_release() {}

void backend::display_show(const uint32_t* pixels, int width, int height) {
    ++state.presents;
    state.clock += state.present_ms;
    audio::presented(state.present_ms);
    if (pixels) state.picture.assign(pixels, pixels + static_cast<size_t>(width) * height);
    if (state.hook) state.hook(state.presents, pixels, width, height);
}

// ---- input -----------------------------------------------------------------------------------------

bool backend::keyboard_open() { return true; }
void keyboard_close() {}

bool backend::keyboard_read(uint8_t keys[256]) {
    apply_script();
    for (int k = 0; k < 256; ++k) keys[k] = state.down[k] ? 0x80 : 0;
    return true;
}

bool backend::mouse_open() { return true; }
void mouse_close() {}

bool backend::mouse_read(MouseState& mouse) {
    apply_script();
    mouse = MouseState{};
    mouse.dx = std::exchange(state.mouse_dx, 0);
    mouse.dy = std::exchange(state.mouse_dy, 0);
    mouse.buttons[0] = state.down[headless::mouse1] ? 0x80 : 0;
    return true;
}

// ---- controls --------------------------------------------------------------------------------------

namespace headless {

bool read_whole(const std::string& text, long& value) {
    const char* first = text.data();
    const char* const last = first + text.size();
    while (first != last && std::isspace(static_cast<unsigned char>(*first))) ++first;
    const bool negative = first != last && *first == '-';
    if (first != last && (*first == '+' || *first == '-')) ++first;
    if (first == last || !std::isdigit(static_cast<unsigned char>(*first))) return false;
    long v = 0;
    const auto [end, error] = std::from_chars(first, last, v);
    if (error != std::errc{} || end != last) return false;
    value = negative ? -v : v;
    return true;
}

int key_code(const std::string& name) {
    for (const auto& key : key_names) {
        if (name == key.name) return key.code;
    }
    return -1;
}

bool parse_script(std::istream& in, std::vector<InputChange>& out, std::string& error) {
    out.clear();
    std::string line;
    int line_number = 0;
    long previous = -1;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(line_number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++line_number;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        if (!(words >> word)) continue;
        long moment = -1;
        if (!read_whole(word, moment) || moment < 0 || moment > 100000000)
            return fail("expected a present number, found '" + word + "'");
        if (moment < previous) return fail("present " + word + " comes before the line above");
        previous = moment;
        while (words >> word) {
            int code = word.size() > 1 ? key_code(word.substr(1)) : -1;
            if ((word[0] != '+' && word[0] != '-') || code < 0)
                return fail("expected +KEY or -KEY, found '" + word + "'");
            out.push_back({static_cast<int>(moment), code, word[0] == '+'});
        }
    }
    if (in.bad()) return fail("cannot read");
    return true;
}

bool read_script_file(const std::string& path, std::vector<InputChange>& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the input script";
        return false;
    }
    return parse_script(in, out, error);
}

void reset() {
    state = Headless{};
    set_data_folder("");
    audio::reset();
}

void set_present_ms(uint32_t ms) { state.present_ms = ms; }
void set_time(uint32_t ms) { state.clock = ms; }

void set_script(std::vector<InputChange> script) {
    state.script = std::move(script);
    state.script_next = 0;
}

void set_key(int key, bool down) { state.down.at(key) = down; }

void add_mouse_motion(int dx, int dy) {
    state.mouse_dx += dx;
    state.mouse_dy += dy;
}

void request_close() { state.messages.push_back(Message::close); }

void set_present_hook(PresentHook hook) { state.hook = std::move(hook); }
int presents() { return state.presents; }
const std::vector<uint32_t>& last_picture() { return state.picture; }

}  // namespace headless

}  // namespace platform
