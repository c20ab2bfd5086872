// Enemies: the walking enemy and the shell enemy, and the shell it leaves.
//
// The world step moves an enemy in its sub-steps and ticks it once a frame. Their terrain motion,
// contacts, kills and drawing are still to come; for now an enemy stands where it was placed and
// draws nothing.
#pragma once

#include "world/entity.h"

#include <cstdint>

class Enemy : public Entity {
public:
    void step(int32_t sub_step);
    void tick();
};
