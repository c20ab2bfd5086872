// Enemies: the walking enemy, the shell enemy in its walking form, and the shell it leaves.
//
// The world step moves an enemy in its sub-steps and ticks it once a frame; the hero's contact pass
// asks `collide` what the hero's box does to it. Their terrain motion, contact rules, kills and
// drawing arrive with the enemies themselves; until then an enemy stands where the level placed it,
// draws nothing and is touched by nothing.
#pragma once

#include "world/entity.h"

#include <cstdint>

constexpr int16_t ENEMY_WALKER = 1;        // map cell 4
constexpr int16_t ENEMY_SHELL = 4;         // what a stomped shell walker leaves
constexpr int16_t ENEMY_SHELL_WALKER = 6;  // map cell 5

// Who touches an enemy in `collide`.
constexpr int32_t BY_HERO = 0;
constexpr int32_t BY_ENEMY = 1;         // a walker, a shell walker, or a shell at rest
constexpr int32_t BY_MOVING_SHELL = 2;

// What the touch did.
constexpr int32_t CONTACT_NONE = 0;
constexpr int32_t CONTACT_TURN = 1;    // the toucher reverses
constexpr int32_t CONTACT_BOUNCE = 2;  // the hero stomped or kicked and bounces
constexpr int32_t CONTACT_HARM = 4;    // the toucher is harmed

class Enemy : public Entity {
public:
    int32_t walk_anim = 0;
    int16_t enemy_type = 0;
    bool mirrored = false;
    bool dead = false;
    int32_t points = 0;   // what its kill paid, shown rising above it
    bool active = false;  // has come on screen and not gone far off since
    bool knocked = false; // killed by a shell: falls through everything, upside down

    // Walking left at 3 pixels per frame; a shell walker starts 26 pixels higher, as its picture is
    // taller than a cell.
    Enemy(int32_t x, int32_t y, int16_t type);

    void step(int32_t sub_step);
    void tick();
    // The contact of a toucher's box {left, top, right, bottom} with this enemy.
    int32_t collide(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t toucher);
};
