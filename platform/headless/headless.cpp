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
#include <filesystem>
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
    std::array<bool, 259> down{};  // DirectInput codes, then the three mouse buttons
    int mouse_dx = 0, mouse_dy = 0;
    int pointer_x = 0, pointer_y = 0;
    int wheel = 0;
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
        if (change.key == headless::pointer) {
            state.pointer_x = change.x;
            state.pointer_y = change.y;
        } else if (change.key == headless::wheel_up || change.key == headless::wheel_down) {
            state.wheel += change.key == headless::wheel_up ? 1 : -1;
        } else {
            state.down[change.key] = change.down;
        }
    }
}

struct KeyName {
    const char* name;
    int code;
};
// Every key by its DirectInput name without the DIK_, and the mouse buttons.
constexpr KeyName key_names[] = {
    {"ESCAPE", 0x01},    {"1", 0x02},        {"2", 0x03},         {"3", 0x04},
    {"4", 0x05},         {"5", 0x06},        {"6", 0x07},         {"7", 0x08},
    {"8", 0x09},         {"9", 0x0A},        {"0", 0x0B},         {"MINUS", 0x0C},
    {"EQUALS", 0x0D},    {"BACK", 0x0E},     {"TAB", 0x0F},       {"Q", 0x10},
    {"W", 0x11},         {"E", 0x12},        {"R", 0x13},         {"T", 0x14},
    {"Y", 0x15},         {"U", 0x16},        {"I", 0x17},         {"O", 0x18},
    {"P", 0x19},         {"LBRACKET", 0x1A}, {"RBRACKET", 0x1B},  {"RETURN", 0x1C},
    {"LCONTROL", 0x1D},  {"A", 0x1E},        {"S", 0x1F},         {"D", 0x20},
    {"F", 0x21},         {"G", 0x22},        {"H", 0x23},         {"J", 0x24},
    {"K", 0x25},         {"L", 0x26},        {"SEMICOLON", 0x27}, {"APOSTROPHE", 0x28},
    {"GRAVE", 0x29},     {"LSHIFT", 0x2A},   {"BACKSLASH", 0x2B}, {"Z", 0x2C},
    {"X", 0x2D},         {"C", 0x2E},        {"V", 0x2F},         {"B", 0x30},
    {"N", 0x31},         {"M", 0x32},        {"COMMA", 0x33},     {"PERIOD", 0x34},
    {"SLASH", 0x35},     {"RSHIFT", 0x36},   {"LMENU", 0x38},     {"SPACE", 0x39},
    {"F1", 0x3B},        {"F2", 0x3C},       {"F3", 0x3D},        {"F4", 0x3E},
    {"F5", 0x3F},        {"F6", 0x40},       {"F7", 0x41},        {"F8", 0x42},
    {"F9", 0x43},        {"F10", 0x44},      {"F11", 0x57},       {"F12", 0x58},
    {"RCONTROL", 0x9D},  {"RMENU", 0xB8},    {"HOME", 0xC7},      {"UP", 0xC8},
    {"PRIOR", 0xC9},     {"LEFT", 0xCB},     {"RIGHT", 0xCD},     {"END", 0xCF},
    {"DOWN", 0xD0},      {"NEXT", 0xD1},     {"INSERT", 0xD2},    {"DELETE", 0xD3},
    {"MOUSE1", headless::mouse1}, {"MOUSE2", headless::mouse2}, {"MOUSE3", headless::mouse3},
};

// "@X,Y": the pointer's place, each a whole number from -9999 to 9999.
bool read_place(const std::string& word, int& x, int& y) {
    const size_t comma = word.find(',');
    if (word.size() < 2 || word[0] != '@' || comma == std::string::npos) return false;
    long vx = 0, vy = 0;
    const std::string first = word.substr(1, comma - 1), second = word.substr(comma + 1);
    auto plain = [](const std::string& t) {
        return !t.empty() && !std::isspace(static_cast<unsigned char>(t[0]));
    };
    if (!plain(first) || !plain(second) || !headless::read_whole(first, vx) ||
        !headless::read_whole(second, vy) || vx < -9999 || vx > 9999 || vy < -9999 || vy > 9999)
        return false;
    x = static_cast<int>(vx);
    y = static_cast<int>(vy);
    return true;
}

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

// Headless programs are told where their data is (--data), or run in it; their own folder is
// where the programs built beside them are (the level editor's solver).
std::string program_folder() {
#ifdef __linux__
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self.parent_path().string() + "/";
#endif
    return "";
}

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

bool backend::pointer_read(PointerState& pointer) {
    apply_script();
    pointer = PointerState{};
    pointer.x = state.pointer_x;
    pointer.y = state.pointer_y;
    pointer.wheel = std::exchange(state.wheel, 0);
    for (int i = 0; i < 3; ++i) pointer.buttons[i] = state.down[headless::mouse1 + i] ? 0x80 : 0;
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
            const int at = static_cast<int>(moment);
            if (word == "WHEELUP" || word == "WHEELDOWN") {
                out.push_back({at, word == "WHEELUP" ? wheel_up : wheel_down, true});
                continue;
            }
            if (word[0] == '@') {
                InputChange move{at, pointer, true};
                if (!read_place(word, move.x, move.y))
                    return fail("expected @X,Y with X and Y from -9999 to 9999, found '" + word +
                                "'");
                out.push_back(move);
                continue;
            }
            int code = word.size() > 1 ? key_code(word.substr(1)) : -1;
            if ((word[0] != '+' && word[0] != '-') || code < 0)
                return fail("expected +KEY or -KEY, found '" + word + "'");
            out.push_back({at, code, word[0] == '+'});
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

void set_pointer(int x, int y) {
    state.pointer_x = x;
    state.pointer_y = y;
}

void turn_wheel(int notches) { state.wheel += notches; }

void request_close() { state.messages.push_back(Message::close); }

void set_present_hook(PresentHook hook) { state.hook = std::move(hook); }
int presents() { return state.presents; }
const std::vector<uint32_t>& last_picture() { return state.picture; }

}  // namespace headless

}  // namespace platform
