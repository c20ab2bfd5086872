// Headless game speed over the recorded clear of the first level, against the bound no game frame
// can beat: the same frame's pixel writes as bare loops. The clear is played twice, with the
// device's fast paths and with every quad on its general path (the two plays show the same
// pictures), then the bound is timed, all in one run. Prints numbers; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_headless [CLEAR_SCRIPT]
#include "bench/timing.h"
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/entry.h"
#include "shell/flow.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>


namespace {

namespace headless = platform::headless;
using bench::Clock;
using bench::us_since;

struct Play {
    int frames = 0;  // game frames timed: one present each, in play
    double frame_us = 0;
    bool cleared = false;  // the hero went down the first level's exit pipe
};

// Plays the clear from start-up until the second level is reached. Frames with more than one
// present (the menu, a banner) are not counted.
Play play_clear(const std::vector<headless::InputChange>& script, bool fast) {
    platform::device_fast_paths(fast);
    headless::reset();
    headless::set_script(script);
    Play play;
    if (open_game() != 0) return play;
    while (game_state.level_index == 0) {
        int presents_before = headless::presents();
        auto start = Clock::now();
        bool more = play_frame();
        double us = us_since(start);
        if (!more) break;
        if (headless::presents() - presents_before != 1 || current_screen != Screen::game) continue;
        play.frame_us += us;
        play.frames += 1;
    }
    play.cleared = game_state.level_index == 1;
    close_game();
    platform::device_fast_paths(true);
    return play;
}

// The sky fill, 520 opaque tile copies and 80 blended sprites, as plain loops over an 800x600 picture.
double bare_drawing_us(int reps) {
    std::vector<uint32_t> screen(800 * 600), tile(32 * 32), sprite(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) {
        tile[i] = 0xFF000000u | (i * 2654435761u >> 8);
        sprite[i] = (i % 5 ? 0xFF000000u : 0u) | (i * 40503u);
    }
    auto start = Clock::now();
    for (int r = 0; r < reps; ++r) {
        std::fill(screen.begin(), screen.end(), 0xFF00C0FFu);
        for (int t = 0; t < 520; ++t) {
            int x0 = (t % 26) * 32 - (r % 32), y0 = (t / 26) * 32 - 32;
            for (int y = std::max(0, y0); y < std::min(600, y0 + 32); ++y) {
                int from = std::max(0, x0), to = std::min(800, x0 + 32);
                if (from < to)
                    std::copy(&tile[(y - y0) * 32 + from - x0], &tile[(y - y0) * 32 + to - x0],
                              &screen[y * 800 + from]);
            }
        }
        for (int s = 0; s < 80; ++s) {
            int x0 = (s * 97 + r) % 768, y0 = (s * 61) % 568;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    uint32_t src = sprite[y * 32 + x], a = src >> 24;
                    uint32_t& dst = screen[(y0 + y) * 800 + x0 + x];
                    auto mix = [&](int shift) {
                        uint32_t s = src >> shift & 0xFF, d = dst >> shift & 0xFF;
                        return ((s * a + d * (255 - a) + 127) / 255) << shift;
                    };
                    dst = 0xFF000000u | mix(16) | mix(8) | mix(0);
                }
            }
        }
    }
    double total = us_since(start);
    std::printf("(bare checksum %u)\n", screen[300 * 800 + 400]);
    return total / reps;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : BRICKRUN_LEVEL1_CLEAR;
    std::vector<headless::InputChange> script;
    std::string error;
    if (!headless::read_script_file(path, script, error)) {
        std::fprintf(stderr, "bench_headless: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }

    Play fast = play_clear(script, true);
    Play general = play_clear(script, false);
    if (!fast.cleared || !general.cleared || fast.frames == 0 || fast.frames != general.frames) {
        std::fprintf(stderr, "bench_headless: %s does not clear the first level (%d and %d frames)\n",
                     path.c_str(), fast.frames, general.frames);
        return 1;
    }
    double fast_us = fast.frame_us / fast.frames, general_us = general.frame_us / general.frames;
    double bound_us = bare_drawing_us(std::max(100, fast.frames / 4));
    std::printf("the first level's clear: %d game frames\n", fast.frames);
    std::printf("game frame:          %7.1f us (%.0f presents per second)\n", fast_us, 1e6 / fast_us);
    std::printf("general path only:   %7.1f us\n", general_us);
    std::printf("bare drawing bound:  %7.1f us\n", bound_us);
    std::printf("ratio to the bound:  %7.2f (general path only: %.2f)\n", fast_us / bound_us,
                general_us / bound_us);
    return 0;
}
