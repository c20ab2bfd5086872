#include "world/world_step.h"

#include "core/game_state.h"
#include "world/entity.h"

#include <cmath>

bool world_frozen = false;

namespace {

// A block is ticked while its left edge is from 30 pixels left of the screen to the screen's right
// edge.
constexpr int32_t block_tick_left = -30;
constexpr int32_t block_tick_right = 800;

bool moves_each_substep(int16_t kind) {
    return kind == KIND_PLAYER || kind == KIND_ENEMY || kind == KIND_ITEM;
}

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
