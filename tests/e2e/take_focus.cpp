// take-focus: opens a small window of its own in the bottom right corner of the display, clear of
// the game's window, and gives it the keyboard focus, as a player switching to another program
// does. Prints the window's id once the focus is there, then keeps the window until it is killed,
// so that keys pressed and released meanwhile go to it and not to the game.

#include <X11/Xlib.h>

#include <cstdio>

namespace {

constexpr int side = 64;  // pixels; small enough to stay off an 800x600 game window at the origin

// The focus can only go to a window that is shown.
void wait_until_mapped(Display* display, Window window) {
    XEvent event;
    do XWindowEvent(display, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
}

bool has_focus(Display* display, Window window) {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus == window;
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "take-focus: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const int x = DisplayWidth(display, screen) - side;
    const int y = DisplayHeight(display, screen) - side;
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), x, y, side, side, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    wait_until_mapped(display, window);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    if (!has_focus(display, window)) {
        std::fprintf(stderr, "take-focus: the focus did not come to window 0x%lx\n", window);
        return 1;
    }
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (XEvent event;;) XNextEvent(display, &event);
}
