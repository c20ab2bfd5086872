// What showing the picture on a screen of another size costs, in real play: the recorded clear of
// the first level is played headless once per screen, and every picture it shows is scaled onto a
// screen of that size that keeps its pixels, as a window's surface does (only the rows that changed
// are drawn again). Prints the processor time per picture and as a share of one core at 30
// pictures a second; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_scaling [CLEAR_SCRIPT]
#include "platform/headless/headless.h"
#include "platform/scaling.h"
#include "shell/entry.h"
#include "shell/flow.h"

#include <time.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

namespace headless = platform::headless;

// This thread's processor time: on a shared machine the wall clock also counts others' turns.
double cpu_us() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct Screen {
    const char* what;
    int width, height;
    bool full_screen;
};

struct Cost {
    int pictures = 0;
    double us = 0;
};

Cost play_onto(const Screen& screen, const std::vector<headless::InputChange>& script) {
    std::vector<uint32_t> pixels(static_cast<size_t>(screen.width) * screen.height);
    Cost cost;
    bool kept = false;
    headless::reset();
    headless::set_script(script);
    headless::set_present_hook([&](int, const uint32_t* picture, int width, int height) {
        const platform::Fit fit =
            platform::fit_for(width, height, screen.width, screen.height, screen.full_screen);
        const double start = cpu_us();
        platform::draw_scaled(picture, width, height, pixels.data(), screen.width, screen.width,
                              screen.height, fit, kept);
        cost.us += cpu_us() - start;
        cost.pictures += 1;
        kept = true;
    });
    if (open_game() == 0) {
        while (play_frame() && headless::presents() < 1200) {
        }
        close_game();
    }
    headless::set_present_hook(nullptr);
    return cost;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string clear = argc > 1 ? argv[1] : BRICKRUN_LEVEL1_CLEAR;
    std::vector<headless::InputChange> script;
    std::string error;
    if (!headless::read_script_file(clear, script, error)) {
        std::fprintf(stderr, "bench_scaling: %s: %s\n", clear.c_str(), error.c_str());
        return 2;
    }
    const Screen screens[] = {
        {"full screen 1920x1080, filled", 1920, 1080, true},
        {"window 1000x700, 1x", 1000, 700, false},
        {"window 1600x1200, 2x", 1600, 1200, false},
        {"full screen 2560x1440, filled", 2560, 1440, true},
        {"full screen 3840x2160, filled", 3840, 2160, true},
    };
    std::printf("the first level's clear, 1200 pictures, each scaled onto a screen that keeps its "
                "pixels:\n");
    for (const Screen& screen : screens) {
        const Cost cost = play_onto(screen, script);
        if (cost.pictures == 0) return 1;
        const double per_picture = cost.us / cost.pictures;
        std::printf("  %-32s %7.1f us a picture, %4.2f%% of one core at 30 a second\n", screen.what,
                    per_picture, per_picture * 30 / 1e4);
    }
    return 0;
}
