// Headless game speed: presents per second during play, and how much of a game frame goes to
// drawing the picture versus showing it. Prints numbers; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_headless [frames]
#include "platform/headless/headless.h"
#include "shell/entry.h"
#include "shell/frame.h"
#include "shell/reset.h"
#include "shell/startup.h"
#include "render/input.h"
#include "blocks/block.h"
#include "enemies/enemy.h"
#include "player/player.h"
#include "world/map_painter.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

const bool build_windowed = true;

int main(int argc, char** argv) {
    namespace headless = platform::headless;
    using clock = std::chrono::steady_clock;
    int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 3000;

    headless::reset();
    if (!init_program_state() || !startup()) return 1;
    // Start a game: Return held for the first menu pass, then the banner's 100 presents.
    headless::set_key(DIK_RETURN, true);
    run_frame();
    headless::set_key(DIK_RETURN, false);

    std::vector<double> present_us;
    clock::time_point shown_at;
    headless::set_present_hook([&](int, const uint32_t*, int, int) { shown_at = clock::now(); });
    auto start = clock::now();
    double draw_total = 0.0;
    for (int i = 0; i < frames; ++i) {
        auto before = clock::now();
        run_frame();
        auto after = clock::now();
        // Everything after the present inside run_frame is drawing the new picture.
        draw_total += std::chrono::duration<double, std::micro>(after - shown_at).count();
        present_us.push_back(std::chrono::duration<double, std::micro>(shown_at - before).count());
    }
    double seconds = std::chrono::duration<double>(clock::now() - start).count();
    std::sort(present_us.begin(), present_us.end());
    std::printf("game frames: %d in %.3f s: %.0f presents per second (%.1f us per frame)\n", frames,
                seconds, frames / seconds, 1e6 * seconds / frames);
    std::printf("drawing share of a frame: %.0f%% (%.1f us drawing, median %.1f us up to and "
                "including the present)\n",
                100.0 * draw_total / (1e6 * seconds), draw_total / frames,
                present_us[present_us.size() / 2]);

    // The world's share: painting a 20-row map and the world step, as the list grows.
    std::vector<Enemy> enemies(1000);
    for (int n : {10, 100, 1000}) {
        objects.clear();
        objects.append(&player, KIND_PLAYER);
        for (int i = 1; i < n; ++i) objects.append(&enemies[i], KIND_ENEMY);
        int reps = 300;
        auto t0 = clock::now();
        for (int r = 0; r < reps; ++r) {
            MapPainter painter;
            painter.paint_background(current_map, r * 7 % 2000);
        }
        auto t1 = clock::now();
        for (int r = 0; r < reps; ++r) world_step();
        auto t2 = clock::now();
        std::printf("%4d objects: background %.1f us, world step %.1f us per frame\n", n,
                    std::chrono::duration<double, std::micro>(t1 - t0).count() / reps,
                    std::chrono::duration<double, std::micro>(t2 - t1).count() / reps);
    }
    shutdown();
    return 0;
}
