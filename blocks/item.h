// Items released by blocks: the popping coin and the growth item.
//
// The world step moves an item in its sub-steps and ticks it once a frame; the hero's contact pass
// offers it the hero's box (`collect`). Their motion, collection and drawing arrive with the blocks
// that release them; until then an item stands still, draws nothing and is never collected.
#pragma once

#include "world/entity.h"

#include <cstdint>

constexpr int32_t ITEM_COIN = 0;
constexpr int32_t ITEM_GROWTH = 1;

// What `collect` answers when the hero has taken a growth item.
constexpr int32_t COLLECTED_GROWTH = 9;

class Item : public Entity {
public:
    bool done = false;  // leaves the object list at the end of this frame's tick
    int32_t item_type = ITEM_COIN;

    void step(int32_t sub_step);
    void tick();
    // The hero's world box {left, top, right, bottom}: COLLECTED_GROWTH when it took a growth item.
    int32_t collect(int32_t left, int32_t top, int32_t right, int32_t bottom);
};
