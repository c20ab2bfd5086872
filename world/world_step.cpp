#include "world/world_step.h"

#include "blocks/block.h"
#include "blocks/item.h"
#include "enemies/enemy.h"
#include "player/player.h"
#include "shell/game_state.h"

#include <cmath>

bool world_frozen = false;

namespace {

// A block is ticked (and drawn) while its left edge is from 30 pixels left of the screen to the
// screen's right edge.
constexpr int32_t block_tick_left = -30;
constexpr int32_t block_tick_right = 800;

bool moves_each_substep(int16_t kind) {
    return kind == KIND_PLAYER || kind == KIND_ENEMY || kind == KIND_ITEM;
}

void step_object(const ObjectEntry& entry, int32_t i) {
    switch (entry.kind) {
        case KIND_PLAYER: static_cast<Player*>(entry.entity())->step(i); break;
        case KIND_ENEMY: static_cast<Enemy*>(entry.entity())->step(i); break;
        case KIND_ITEM: static_cast<Item*>(entry.entity())->step(i); break;
        default: break;
    }
}

void tick_object(const ObjectEntry& entry) {
    switch (entry.kind) {
        case KIND_PLAYER: static_cast<Player*>(entry.entity())->tick(); break;
        case KIND_BLOCK: static_cast<Block*>(entry.entity())->tick(); break;
        case KIND_ENEMY: static_cast<Enemy*>(entry.entity())->tick(); break;
        case KIND_ITEM: static_cast<Item*>(entry.entity())->tick(); break;
        default: break;
    }
}

constexpr WorldCalls class_calls{step_object, tick_object};

}  // namespace

bool moves_on_substep(int32_t i, float v) {
    if (v == 0) return false;
    double p = static_cast<double>(game_state.sub_steps) / static_cast<double>(v);
    return std::fmod(static_cast<double>(i), p) < 1.0;
}

void run_world_step(ObjectList& list, const WorldCalls& calls) {
    if (!world_frozen) {
        for (int32_t i = 0; i < game_state.sub_steps; ++i) {
            for (int32_t j = 0; j < list.count; ++j) {
                // A copy: a step may append, and growing moves the entries.
                ObjectEntry entry = list.entries[j];
                if (moves_each_substep(entry.kind)) calls.step(entry, i);
            }
        }
    }
    run_world_frame(list, calls);
}

void run_world_frame(ObjectList& list, const WorldCalls& calls) {
    for (int32_t j = 0; j < list.count; ++j) {
        ObjectEntry entry = list.entries[j];
        if (moves_each_substep(entry.kind)) {
            calls.tick(entry);
        } else if (entry.kind == KIND_BLOCK) {
            int32_t d = entry.entity()->x - game_state.camera_x;
            if (d >= block_tick_left && d < block_tick_right) calls.tick(entry);
        }
    }
}

void world_step() { run_world_step(objects, class_calls); }

void world_frame() { run_world_frame(objects, class_calls); }
