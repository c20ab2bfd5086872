// send-close WINDOW: asks an X window to close the way a window manager's close button does, with a
// WM_DELETE_WINDOW client message. (xdotool's windowclose destroys the window instead, which no
// program sees as a request.) Fails when the window does not take part in that protocol.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool takes_delete_requests(Display* display, Window window, Atom delete_window) {
    Atom* protocols = nullptr;
    int count = 0;
    if (!XGetWMProtocols(display, window, &protocols, &count)) return false;
    bool found = false;
    for (int i = 0; i < count; ++i) found = found || protocols[i] == delete_window;
    XFree(protocols);
    return found;
}

void send_delete_request(Display* display, Window window, Atom delete_window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(delete_window);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: send-close WINDOW_ID\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "send-close: cannot open the display\n");
        return 1;
    }
    const Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const bool takes = takes_delete_requests(display, window, delete_window);
    if (takes) send_delete_request(display, window, delete_window);
    else std::fprintf(stderr, "send-close: window %s does not take WM_DELETE_WINDOW\n", argv[1]);
    XCloseDisplay(display);
    return takes ? 0 : 1;
}
