// What enemies and debris cost: headless frames with 10, 100 and 500 enemies awake on one screen
// (each enemy's contact pass visits every entry in every sub-step, so the cost grows with the
// square of their number); the share of a frame the enemies take while the hero runs through the
// first level; and resident memory and live textures over 10,000 frames of bricks breaking, with
// debris in the air the whole time. Prints numbers; asserts nothing.
//
// Run from the data folder: cd build/release/data && ../bench/bench_enemies
#include "bench/timing.h"
#include "blocks/block.h"
#include "core/game_state.h"
#include "enemies/enemy.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>


namespace {

namespace headless = platform::headless;
using bench::Clock;
using bench::us_since;

long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// A flat 60-column level with ground in rows 18 and 19 and a ledge at row 5 that keeps the hero
// out of the enemies' way; `cells` adds what else the map holds (column, row, code).
void play_level(const std::vector<int32_t>& cells = {}) {
    TileMap map;
    map.map_width = 60;
    map.map_height = 20;
    map.map_cells = std::make_shared<int32_t[]>(60 * 20);
    for (int i = 0; i < 60 * 20; ++i) map.map_cells[i] = i / 60 >= 18 ? TILE_GROUND : TILE_EMPTY;
    for (int c = 0; c < 5; ++c) map.map_cells[5 * 60 + c] = TILE_GROUND;
    for (size_t i = 0; i + 2 < cells.size(); i += 3)
        map.map_cells[cells[i + 1] * 60 + cells[i]] = cells[i + 2];
    install_map(map);
    clear_level();
    player = Player{};
    player.x = Player::start_x;
    player.set_y(32 * 5 - 32 - 72);
    objects.append(&player, KIND_PLAYER);
    populate_level();
    game_state.in_game = true;
}

double frame_us(int frames) {
    auto t = Clock::now();
    for (int i = 0; i < frames; ++i) play_frame();
    return us_since(t) / frames;
}

void enemies_on_one_screen() {
    play_level();
    frame_us(200);  // warm up
    double none = frame_us(500);
    std::printf("no enemies: %.1f us a frame\n", none);
    for (int n : {10, 100, 500}) {
        play_level();
        for (int k = 0; k < n; ++k) {
            Enemy* e = make_level_object<Enemy>(100 + k * 680 / n, 512, ENEMY_WALKER);
            objects.append(e, KIND_ENEMY);
        }
        frame_us(2);  // all wake in their first tick
        int awake = 0;
        for (int32_t i = 0; i < objects.count; ++i)
            awake += objects.entries[i].kind == KIND_ENEMY &&
                     static_cast<Enemy*>(objects.entries[i].entity())->active;
        double us = frame_us(n >= 500 ? 30 : 200);
        std::printf("%3d enemies (%d awake): %9.1f us a frame, %7.0f frames per second, %.2f us "
                    "per enemy above none\n",
                    n, awake, us, 1e6 / us, (us - none) / n);
    }
}

// Plays the first level as the hero runs and jumps right, and each frame replays the enemies'
// part of it alone (sub-steps and ticks) from the state the frame began with.
void enemy_share_of_a_level_frame() {
    headless::reset();
    open_game();
    headless::set_key(DIK_RETURN, true);
    play_frame();
    headless::set_key(DIK_RETURN, false);
    double frames_total = 0, enemies_total = 0;
    int counted = 0, enemies_seen = 0;
    for (int i = 0; i < 1000; ++i) {
        headless::set_key(DIK_RIGHT, true);
        headless::set_key(DIK_LSHIFT, true);
        headless::set_key(DIK_SPACE, i % 45 < 20);
        std::vector<Enemy*> enemies;
        for (int32_t j = 0; j < objects.count; ++j)
            if (objects.entries[j].kind == KIND_ENEMY)
                enemies.push_back(static_cast<Enemy*>(objects.entries[j].entity()));
        std::vector<Enemy> before, after;
        for (Enemy* e : enemies) before.push_back(*e);
        ObjectList list_before = objects;
        GameState state_before = game_state;
        int32_t camera = player.scroll;
        bool frozen = world_frozen;
        int presents = headless::presents();
        auto t0 = Clock::now();
        play_frame();
        double us = us_since(t0);
        if (headless::presents() - presents > 1) continue;  // a restart and its banner
        frames_total += us;
        ++counted;
        enemies_seen += static_cast<int>(enemies.size());

        for (Enemy* e : enemies) after.push_back(*e);
        ObjectList list_after = objects;
        GameState state_after = game_state;
        for (size_t k = 0; k < enemies.size(); ++k) *enemies[k] = before[k];
        objects = list_before;
        game_state = state_before;
        game_state.camera_x = camera;
        auto t1 = Clock::now();
        if (!frozen)
            for (int32_t s = 0; s < game_state.sub_steps; ++s)
                for (Enemy* e : enemies) e->step(s);
        for (Enemy* e : enemies) e->tick();
        enemies_total += us_since(t1);
        for (size_t k = 0; k < enemies.size(); ++k) *enemies[k] = after[k];
        objects = list_after;
        game_state = state_after;
    }
    std::printf("first level, %d frames, %.1f enemies listed on average: %.1f us a frame, of which "
                "enemies %.1f us (%.1f%%)\n",
                counted, static_cast<double>(enemies_seen) / counted, frames_total / counted,
                enemies_total / counted, 100.0 * enemies_total / frames_total);
    close_game();
}

// Bricks along one screen broken one after another, a new one every 20 frames, each put back once
// its debris has flown, so debris is in the air in every frame.
void bricks_breaking(int frames) {
    headless::reset();
    open_game();
    std::vector<int32_t> cells;
    for (int c = 1; c <= 20; ++c) cells.insert(cells.end(), {c, 10, TILE_BRICK});
    play_level(cells);
    std::vector<Block*> bricks;
    for (int32_t j = 0; j < objects.count; ++j)
        if (objects.entries[j].kind == KIND_BLOCK)
            bricks.push_back(static_cast<Block*>(objects.entries[j].entity()));
    long rss_at_10 = 0;
    int textures_at_10 = 0, in_air = 0;
    for (int i = 1; i <= frames; ++i) {
        if (i % 20 == 1) {
            Block* b = bricks[(i / 20) % bricks.size()];
            if (b->used && b->debris_timer == 0) {  // gone: put it back for another break
                b->used = false;
                current_map.set_cell(current_map.index_of(b->x / 32, b->y / 32 + 1), TILE_BRICK);
            }
            if (!b->used) b->hit(1);
        }
        play_frame();
        int flying = 0;
        for (Block* b : bricks) flying += b->debris_timer > 0;
        in_air += flying > 0;
        if (i == 10) {
            rss_at_10 = resident_kb();
            textures_at_10 = platform::texture_count();
        }
    }
    std::printf("%d frames of breaking bricks (debris in the air in %d): resident %ld kB after 10, "
                "%ld kB after %d; live textures %d after 10, %d after %d\n",
                frames, in_air, rss_at_10, resident_kb(), frames, textures_at_10,
                platform::texture_count(), frames);
    close_game();
}

}  // namespace

int main() {
    headless::reset();
    if (open_game() != 0) return 1;
    enemies_on_one_screen();
    close_game();
    enemy_share_of_a_level_frame();
    bricks_breaking(10000);
    return 0;
}
