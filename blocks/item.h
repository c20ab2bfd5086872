// Items released by blocks: the popping coin and the growth item.
//
// The world step moves an item in its sub-steps and ticks it once a frame. Their motion,
// collection and drawing are still to come; for now an item stands still and draws nothing.
#pragma once

#include "world/entity.h"

#include <cstdint>

class Item : public Entity {
public:
    void step(int32_t sub_step);
    void tick();
};
