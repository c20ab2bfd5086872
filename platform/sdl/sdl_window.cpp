// The game window, its messages, and the display that shows the finished picture in it.
//
// The shared device draws every picture into its own back buffer; here it reaches the screen through
// the window's own surface, with no texture upload or GPU work at all: on X11 a shared-memory image
// the server copies from. The window can be resized, maximised or made full screen (F11 or
// Alt+Return); the picture is then scaled by platform/scaling: full screen it fills the screen with
// sharp pixels, in a window it is drawn at the largest whole multiple that fits (filling only a
// window more than twice its size), centred on black. F10 keeps it to whole multiples everywhere.

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/mute_sign.h"
#include "platform/platform.h"
#include "platform/scaling.h"
#include "platform/sdl/gamepad.h"
#include "platform/sdl/pointer.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace platform {
namespace {

// The window's X11 class (WM_CLASS), which the desktop entry names as its StartupWMClass so that
// docks and task bars put the game's icon and name on its window; tools find the game by it too.
constexpr const char* window_class = "brickrun";

SDL_Window* window = nullptr;
std::deque<Message> messages;
int picture_width = 0, picture_height = 0;
int windowed_x = 0, windowed_y = 0;  // where the window was before it went full screen
std::vector<uint32_t> scratch;  // the scaled picture, for a surface of another pixel format

// The surface keeps its pixels from one picture to the next, so only what changed is drawn again,
// unless the picture's place on it may have changed (a new or resized surface, another fit) or the
// window was uncovered.
bool redraw_all = true;
SDL_Surface* drawn_surface = nullptr;
Placement drawn_at;

// Pictures reach the screen at most once per display refresh (about 60 a second), as a device
// presenting on the vertical retrace does. Game frames come every 33 ms and never wait for it;
// the title menu and the level banner, which draw as fast as they are shown, are held to it
// instead of spinning a core.
constexpr uint32_t refresh_ms = 16;
uint32_t last_shown = 0;

int32_t wheel_notches = 0;  // turned since the editor's last pointer read

// The video drivers that show a window someone can see, in SDL's order. Left to itself SDL falls back
// to its offscreen driver and reports success with no display at all. Wayland is tried only where a
// compositor announces itself, as every compositor does; elsewhere libwayland only complains.
std::string display_drivers() {
    std::string list;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
        if (name == "wayland" && !SDL_getenv("WAYLAND_DISPLAY")) continue;
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

void fail(const char* what) { set_error(std::string(what) + SDL_GetError()); }

bool is_close_request(const SDL_Event& event) {
    if (event.type == SDL_QUIT) return true;
    return event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
}

// Full screen at the desktop's own resolution. The window first covers the display by itself, so
// the picture fills the screen even where no window manager carries out the full-screen request.
bool cover_display() {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) == 0) {
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_SetWindowSize(window, bounds.w, bounds.h);
    }
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        fail("cannot go full screen: ");
        return false;
    }
    return true;
}

// F11 and Alt+Return switch between the window and the whole desktop, in both programs. Leaving
// full screen, the window takes the picture's size again, where it was before (the full-screen
// program's window at the top-left corner).
void toggle_full_screen() {
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, picture_width, picture_height);
        SDL_SetWindowPosition(window, windowed_x, windowed_y);
    } else {
        SDL_GetWindowPosition(window, &windowed_x, &windowed_y);
        cover_display();
    }
}

// The sound device, pulling the mix from SDL's audio thread: 16-bit mono at 48000 Hz in buffers
// of 512 samples (11 ms), so an effect is heard within a frame or two of its event. Without a
// device the game is silent and goes on as ever.
// ALSA writes diagnostics of its own to stderr on a machine without a sound card ("cannot find
// card '0'"). The game's stderr is for what a player must know, so it is shut while SDL looks for a
// device.
class QuietStderr {
public:
    QuietStderr() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1;
};

SDL_AudioDeviceID find_sound_device() {
    // SDL asks PulseAudio (and PipeWire's stand-in for it) to hold no more than one buffer, 11 ms:
    // on a busy machine the stream then runs dry whenever the audio thread is held off longer.
    // 60 ms held there rides that out; a player's own setting wins.
    setenv("PULSE_LATENCY_MSEC", "60", 0);
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec want{};
    want.freq = audio::sample_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 512;
    want.callback = [](void*, Uint8* stream, int bytes) {
        audio::mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / 2);
    };
    SDL_AudioSpec have{};
    return SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
}

SDL_AudioDeviceID sound_device = 0;

// SDL's audio thread mixes until its device is closed, so it is closed before the program's
// statics (the mixer among them) go away at exit; left open, the thread could read a mixer
// already destroyed.
void close_sound() {
    if (sound_device != 0) SDL_CloseAudioDevice(sound_device);
    sound_device = 0;
}

void open_sound() {
    sound_device = find_sound_device();
    if (sound_device == 0) return;
    audio::load();
    std::atexit(close_sound);
    SDL_PauseAudioDevice(sound_device, 0);
}

// The game's icon on its window, for title bars and task switchers: icon.bmp in the data folder,
// compiled from assets/icon.txt with white as clear, at twice its size. A data folder without it
// leaves the window without, as before.
void show_icon() {
    constexpr uint32_t clear = 0xFFFFFFFF;
    constexpr int scale = 2;
    ImageInfo info;
    Texture* picture = texture_from_file("icon.bmp", clear, &info);
    if (!picture) return;
    int pitch = 0;
    const uint32_t* pixels = texture_pixels(picture, &pitch);
    const int w = info.width * scale, h = info.height * scale;
    std::vector<uint32_t> icon(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            icon[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
                pixels[static_cast<size_t>(y / scale) * static_cast<size_t>(pitch / 4) +
                       static_cast<size_t>(x / scale)];
    texture_release(picture);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.data(), w, h, 32, w * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_SetWindowIcon(window, surface);  // SDL keeps a copy
    SDL_FreeSurface(surface);
}

bool is_mute_key(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN && !event.key.repeat &&
           event.key.keysym.scancode == SDL_SCANCODE_M;
}

bool is_scaling_key(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN && !event.key.repeat &&
           event.key.keysym.scancode == SDL_SCANCODE_F10;
}

void toggle_scaling() {
    set_scaling(scaling() == Scaling::fill ? Scaling::whole : Scaling::fill);
    redraw_all = true;
}

bool is_full_screen_key(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN || event.key.repeat) return false;
    const SDL_Scancode key = event.key.keysym.scancode;
    return key == SDL_SCANCODE_F11 ||
           (key == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0);
}

// Moves what SDL has gathered into the game's queue; input events only update SDL's key and
// mouse state, which the input reads take as snapshots.
void pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (is_close_request(event)) messages.push_back(Message::close);
        if (is_full_screen_key(event)) toggle_full_screen();
        if (is_scaling_key(event)) toggle_scaling();
        if (is_mute_key(event)) audio::set_muted(!audio::muted());
        if (event.type == SDL_MOUSEWHEEL)
            wheel_notches += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y
                                                                            : event.wheel.y;
        if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                              event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
            redraw_all = true;
        sdl::gamepad_event(event);
    }
}

bool is_full_screen() { return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; }

// Into the window's own surface, scaled and centred on black. The back buffer's alpha is what the
// drawing left there, and the screen shows colour only, so the picture is read as XRGB: drawn
// straight into a surface of that format (X11's usual one), converted into any other.
void show_in_surface(const uint32_t* pixels, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return;
    pixels = with_mute_sign(pixels, width, height);
    const Fit fit = fit_for(width, height, surface->w, surface->h, is_full_screen());
    const Placement at = place_picture(width, height, surface->w, surface->h, fit);
    const bool kept = !redraw_all && surface == drawn_surface && at.left == drawn_at.left &&
                      at.top == drawn_at.top && at.width == drawn_at.width &&
                      at.height == drawn_at.height;
    redraw_all = false;
    drawn_surface = surface;
    drawn_at = at;
    const uint32_t format = surface->format->format;
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
        draw_scaled(pixels, width, height, static_cast<uint32_t*>(surface->pixels),
                    surface->pitch / 4, surface->w, surface->h, fit, kept);
    } else {
        scratch.resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
        draw_scaled(pixels, width, height, scratch.data(), surface->w, surface->w, surface->h, fit,
                    kept);
        SDL_ConvertPixels(surface->w, surface->h, SDL_PIXELFORMAT_RGB888, scratch.data(),
                          surface->w * 4, format, surface->pixels, surface->pitch);
    }
    backend::wait_until(static_cast<int32_t>(last_shown + refresh_ms));
    SDL_UpdateWindowSurface(window);
}

}  // namespace

bool backend::window_create(const char* title, int x, int y, int width, int height) {
    // SDL takes the X11 class from the environment when the video subsystem starts.
    setenv("SDL_VIDEO_X11_WMCLASS", window_class, 1);
    // One close click is one close request: without this SDL adds a quit event of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Ctrl+C and kill (SIGINT, SIGTERM) arrive as SDL_QUIT, a close request like the close
    // button's: the game ends at its next picture, its recording finished.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    // A driver named in SDL_VIDEODRIVER still wins over this list.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, display_drivers().c_str());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fail("no display: ");
        return false;
    }
    // Controllers are a bonus: a machine without them, or without their subsystem, plays on.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    open_sound();
    window = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window) {
        fail("cannot create the window: ");
        return false;
    }
    show_icon();
    return true;
}

void window_place(int x, int y, int width, int height) {
    SDL_SetWindowPosition(window, x, y);
    SDL_SetWindowSize(window, width, height);
}

void window_show() { SDL_ShowWindow(window); }

bool backend::message_take(Message& message) {
    pump();
    if (messages.empty()) return false;
    message = messages.front();
    messages.pop_front();
    return true;
}

void post_quit() { messages.push_back(Message::quit); }

void report_fatal(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

std::string program_folder() {
    char* base = SDL_GetBasePath();
    if (!base) return "";
    std::string folder = base;
    SDL_free(base);
    return folder;
}

void sdl::picture_point(int window_x, int window_y, int32_t& x, int32_t& y) {
    const Placement at = drawn_at;
    if (at.width <= 0 || at.height <= 0) {
        x = window_x;
        y = window_y;
        return;
    }
    // Floored, so the black left of and above the picture reads as negative.
    auto scale = [](int offset, int picture, int shown) {
        const int64_t scaled = static_cast<int64_t>(offset) * picture;
        return static_cast<int32_t>(scaled >= 0 ? scaled / shown : (scaled - shown + 1) / shown);
    };
    x = scale(window_x - at.left, picture_width, at.width);
    y = scale(window_y - at.top, picture_height, at.height);
}

int32_t sdl::take_wheel() {
    const int32_t notches = wheel_notches;
    wheel_notches = 0;
    return notches;
}

namespace backend {

bool display_create(int width, int height, bool windowed) {
    picture_width = width;
    picture_height = height;
    // The window's own surface, not a texture SDL would draw it through.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return windowed || cover_display();
}

void display_release() { scratch = {}; }

void display_show(const uint32_t* pixels, int width, int height) {
    if (!pixels) return;
    show_in_surface(pixels, width, height);
    last_shown = time_ms();
}

}  // namespace backend
}  // namespace platform
