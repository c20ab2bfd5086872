// The game window, its messages, and the display that shows the finished picture in it.
//
// The shared device draws every picture into its own back buffer; here it reaches the screen the
// cheapest way for the window's size. A window of the picture's size (the windowed game) gets the
// picture copied into its own surface, with no texture upload or GPU work at all. Full screen, the
// picture goes into a streaming texture that the renderer scales (nearest neighbour, whole
// multiples, centred on black). Either way the player sees the back buffer pixel for pixel.

#include "platform/backend.h"
#include "platform/platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

namespace platform {
namespace {

// The window class the game registers; X11 reports it as WM_CLASS, which is how tools find the game.
constexpr const char* window_class = "Vidazozo";

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;  // full screen only; a windowed game shows in the window's surface
SDL_Texture* texture = nullptr;
std::deque<Message> messages;

// Pictures reach the screen at most once per display refresh (about 60 a second), as a device
// presenting on the vertical retrace does. Game frames come every 33 ms and never wait for it;
// the title menu and the level banner, which draw as fast as they are shown, are held to it
// instead of spinning a core.
constexpr uint32_t refresh_ms = 16;
uint32_t last_shown = 0;

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

// Moves what SDL has gathered into the game's queue; input events only update SDL's key and
// mouse state, which the input reads take as snapshots.
void pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (is_close_request(event)) messages.push_back(Message::close);
    }
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

// Into the window's own surface. The back buffer's alpha is what the drawing left there, and the
// screen shows colour only, so the picture is read as XRGB: copied row for row into a surface of
// that format (X11's usual one), converted into any other. Should a window manager hold the window
// at another size, the picture is drawn at the largest whole multiple that fits, centred on black.
void show_in_surface(const uint32_t* pixels, int width, int height) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return;
    const int pitch = width * static_cast<int>(sizeof(uint32_t));
    if (surface->w == width && surface->h == height) {
        SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, pixels, pitch,
                          surface->format->format, surface->pixels, surface->pitch);
    } else {
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(pixels), width, height, 32, pitch, SDL_PIXELFORMAT_RGB888);
        if (!picture) return;
        const int scale = std::max(1, std::min(surface->w / width, surface->h / height));
        SDL_Rect area{(surface->w - width * scale) / 2, (surface->h - height * scale) / 2,
                      width * scale, height * scale};
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_BlitScaled(picture, nullptr, surface, &area);
        SDL_FreeSurface(picture);
    }
    backend::wait_until(static_cast<int32_t>(last_shown + refresh_ms));
    SDL_UpdateWindowSurface(window);
}

// Through the renderer, which scales the texture to the screen.
void show_with_renderer(const uint32_t* pixels, int width, int height) {
    const SDL_Rect area{0, 0, width, height};
    SDL_UpdateTexture(texture, &area, pixels, width * static_cast<int>(sizeof(uint32_t)));
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, &area, nullptr);
    backend::wait_until(static_cast<int32_t>(last_shown + refresh_ms));
    SDL_RenderPresent(renderer);
}

}  // namespace

bool backend::window_create(const char* title, int x, int y, int width, int height) {
    // SDL takes the X11 class from the environment when the video subsystem starts.
    setenv("SDL_VIDEO_X11_WMCLASS", window_class, 1);
    // One close click is one close request: without this SDL adds a quit event of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Ctrl+C and kill end the game as they end any program, not through a close request the
    // title menu would ignore.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A driver named in SDL_VIDEODRIVER still wins over this list.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, display_drivers().c_str());
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fail("no display: ");
        return false;
    }
    window = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_HIDDEN);
    if (!window) {
        fail("cannot create the window: ");
        return false;
    }
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

namespace backend {

bool display_create(int width, int height, bool windowed) {
    // A window has either a surface or a renderer, never both; windowed, the surface is taken at
    // the first present, when the window has its final size. It is the window's own surface, not
    // a texture SDL would draw it through: on X11 a shared-memory image the server copies from.
    if (windowed) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        return true;
    }
    // Nearest neighbour: a scaled picture keeps its hard pixel edges.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // Any renderer SDL has, the software one last. No vsync: the game keeps its own pace, and
    // waiting for the screen as well would fight it.
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) {
        fail("cannot draw in the window: ");
        return false;
    }
    // Only now: making the renderer can remake the window where it was first created.
    if (!cover_display()) {
        display_release();
        return false;
    }
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (!texture) {
        fail("cannot make the picture texture: ");
        display_release();
        return false;
    }
    // The back buffer's alpha is what the drawing left there; the screen shows colour only.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    // Whole multiples of the picture, centred, the rest black, on a screen of any size.
    SDL_RenderSetLogicalSize(renderer, width, height);
    SDL_RenderSetIntegerScale(renderer, SDL_TRUE);
    return true;
}

void display_release() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    texture = nullptr;
    renderer = nullptr;
}

void display_show(const uint32_t* pixels, int width, int height) {
    if (renderer) {
        show_with_renderer(pixels, width, height);
    } else {
        show_in_surface(pixels, width, height);
    }
    last_shown = time_ms();
}

}  // namespace backend
}  // namespace platform
