// Headless game speed while the hero runs and jumps through the first level: presents per second,
// the hero's share of a frame, and the same frame's pixel writes as bare loops (the bound no game
// frame can beat), all from one run. Prints numbers; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_headless [frames]
#include "bench/timing.h"
#include "platform/headless/headless.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/frame.h"
#include "shell/game_state.h"
#include "shell/reset.h"
#include "shell/startup.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

const bool build_windowed = true;

namespace {

namespace headless = platform::headless;
using bench::Clock;
using bench::us_since;

// Run right with Left Shift, jumping for 20 frames out of every 45.
void hold_keys_for(int frame) {
    headless::set_key(DIK_RIGHT, true);
    headless::set_key(DIK_LSHIFT, true);
    headless::set_key(DIK_SPACE, frame % 45 < 20);
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
    int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;

    headless::reset();
    if (!init_program_state() || !startup()) return 1;
    headless::set_key(DIK_RETURN, true);
    run_frame();  // the menu, the banner and the first game frame
    headless::set_key(DIK_RETURN, false);

    // Each frame is played, then the hero's own part of it is played again from the state it
    // started with and timed alone; the state after the frame is put back.
    // Frames that restart the level (the hero fell into a gap) show the banner and are not counted.
    double frame_total = 0, hero_total = 0;
    int counted = 0, restarts = 0;
    for (int i = 0; i < frames; ++i) {
        hold_keys_for(i);
        Player hero_before = player;
        GameState state_before = game_state;
        bool frozen_before = world_frozen;
        int presents_before = headless::presents();
        auto t0 = Clock::now();
        run_frame();
        double frame_us = us_since(t0);
        if (headless::presents() - presents_before > 1) {
            ++restarts;
            continue;
        }
        frame_total += frame_us;
        ++counted;

        Player hero_after = player;
        GameState state_after = game_state;
        bool frozen_after = world_frozen;
        player = hero_before;
        game_state = state_before;
        game_state.camera_x = hero_before.scroll;
        world_frozen = frozen_before;
        auto t1 = Clock::now();
        if (!world_frozen)
            for (int32_t s = 0; s < game_state.sub_steps; ++s) player.step(s);
        player.tick();
        hero_total += us_since(t1);
        player = hero_after;
        game_state = state_after;
        world_frozen = frozen_after;
    }
    double frame_us = frame_total / counted;
    std::printf("game frames: %d (and %d restarts), %.1f us each: %.0f presents per second; the hero "
                "ended at world x %d of %d\n",
                counted, restarts, frame_us, 1e6 / frame_us, player.world_x(),
                current_map.map_width * 32);
    std::printf("the hero's sub-steps and frame: %.1f us, %.1f%% of a game frame\n",
                hero_total / counted, 100.0 * hero_total / frame_total);
    double bound_us = bare_drawing_us(std::max(100, frames / 10));
    std::printf("bare drawing bound: %.1f us; a game frame costs %.2f times the bound\n", bound_us,
                frame_us / bound_us);

    shutdown();
    return 0;
}
