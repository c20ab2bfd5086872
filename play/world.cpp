#include "play/world.h"

#include "blocks/block.h"
#include "blocks/item.h"
#include "core/game_state.h"
#include "enemies/enemy.h"
#include "player/player.h"
#include "render/sprite.h"
#include "world/frame_record.h"
#include "world/world_step.h"

namespace {

void step_object(const ObjectEntry& entry, int32_t i) {
    switch (entry.kind) {
        case KIND_PLAYER: static_cast<Player*>(entry.entity())->step(i); break;
        case KIND_ENEMY: static_cast<Enemy*>(entry.entity())->step(i); break;
        case KIND_ITEM: static_cast<Item*>(entry.entity())->step(i); break;
        default: break;
    }
}

void tick_object(const ObjectEntry& entry) {
    frame_record.ticked.push_back(entry);
    switch (entry.kind) {
        case KIND_PLAYER: static_cast<Player*>(entry.entity())->tick(); break;
        case KIND_BLOCK: static_cast<Block*>(entry.entity())->tick(); break;
        case KIND_ENEMY: static_cast<Enemy*>(entry.entity())->tick(); break;
        case KIND_ITEM: static_cast<Item*>(entry.entity())->tick(); break;
        default: break;
    }
}

void draw_object(const ObjectEntry& entry) {
    switch (entry.kind) {
        case KIND_PLAYER: static_cast<const Player*>(entry.entity())->render(); break;
        case KIND_BLOCK: static_cast<const Block*>(entry.entity())->render(); break;
        case KIND_ENEMY: static_cast<const Enemy*>(entry.entity())->render(); break;
        case KIND_ITEM: static_cast<const Item*>(entry.entity())->render(); break;
        default: break;
    }
}

// The debug colour cycle: red for the first test of the run, then green, blue and grey in turn.
uint32_t debug_colour(uint64_t test) {
    if (test == 0) return 0xFFFF0000;
    constexpr uint32_t cycle[] = {0xFF00FF00, 0xFF0000FF, 0xFF646464};
    return cycle[(test - 1) % 3];
}

}  // namespace

void world_step() {
    frame_record.ticked.clear();
    frame_record.tested_triggers.clear();
    run_world_step(objects, {step_object, tick_object});
}

void draw_world() {
    uint64_t test = frame_record.trigger_tests - frame_record.tested_triggers.size();
    for (const Rect& r : frame_record.tested_triggers)
        fill_rect(r.left - game_state.camera_x, r.top, r.right - r.left, r.bottom - r.top,
                  debug_colour(test++));
    for (const ObjectEntry& entry : frame_record.ticked) draw_object(entry);
}
