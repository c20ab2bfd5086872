// frame-times WINDOW FRAMES [TIMEOUT_S]: watches an X window from outside and reports how evenly
// its picture changes. Every present of the game puts a new picture into its window, which the X
// server reports as damage stamped with the server's millisecond clock; the gaps between FRAMES+1
// such updates are the frame intervals. Prints "intervals N median M ms worst W ms".

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the next X event until `end`; false when time ran out.
bool next_event(Display* display, XEvent& event, Clock::time_point end) {
    while (!XPending(display)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left.count()));
    }
    XNextEvent(display, &event);
    return true;
}

// Server times of the picture updates; one update may arrive as several rectangles, all stamped
// alike.
std::vector<Time> update_times(Display* display, int damage_event, size_t count, Clock::time_point end) {
    std::vector<Time> times;
    XEvent event;
    while (times.size() < count && next_event(display, event, end)) {
        if (event.type != damage_event + XDamageNotify) continue;
        const Time stamp = reinterpret_cast<XDamageNotifyEvent&>(event).timestamp;
        if (times.empty() || stamp != times.back()) times.push_back(stamp);
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: frame-times WINDOW FRAMES [TIMEOUT_S]\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const size_t frames = std::strtoul(argv[2], nullptr, 10);
    const int timeout_s = argc == 4 ? std::atoi(argv[3]) : 60;
    Display* display = XOpenDisplay(nullptr);
    int damage_event = 0;
    int damage_error = 0;
    if (!display || !XDamageQueryExtension(display, &damage_event, &damage_error)) {
        std::fprintf(stderr, "frame-times: no X display with the DAMAGE extension\n");
        return 1;
    }
    XDamageCreate(display, window, XDamageReportRawRectangles);
    const auto end = Clock::now() + std::chrono::seconds(timeout_s);
    const std::vector<Time> times = update_times(display, damage_event, frames + 1, end);
    XCloseDisplay(display);
    if (times.size() < frames + 1) {
        std::fprintf(stderr, "frame-times: only %zu updates in %d s\n", times.size(), timeout_s);
        return 1;
    }
    std::vector<Time> gaps;
    for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    std::printf("intervals %zu median %lu ms worst %lu ms\n", gaps.size(), gaps[gaps.size() / 2], gaps.back());
    return 0;
}
