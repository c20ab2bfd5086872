// The hero: one Player, `player`, always entry 0 of the object list.
//
// Its x is a screen coordinate and its scroll the camera, so its place in the map is world_x().
// The sprite-set fields hold copies of the program-wide pictures for the current power (small or
// big); the hero picks its picture from them every frame.
#pragma once

#include "world/entity.h"

#include <cstdint>

class Player : public Entity {
public:
    bool wall_right = false;  // sliding down a wall on the right
    bool wall_left = false;
    bool hurt = false;        // hit: shrinking, then blinking and invulnerable
    bool crouching = false;
    bool jumping = false;     // a ground jump in its boosted rising phase
    int32_t jump_ref_y = 0;
    int32_t death_timer = 0;  // 0 alive; from 1 on, frames of dying
    int32_t grow_timer = 0;
    int32_t power = 0;        // 0 small, 1 big
    int32_t hurt_timer = 0;
    int32_t pipe_timer = 0;
    float saved_vx = 0.0f;
    float saved_vy = 0.0f;
    int16_t start_grace = 0;  // ground answers given without ground, at most 21 per life
    Sprite spr_stand, spr_run0, spr_run1, spr_run2, spr_jump, spr_duck, spr_wall;

    // A small hero at (67, 503), not moving.
    Player();
    // Fills the seven sprite-set fields for the current power; the shown sprite stays.
    void load_sprite_set();

    // One movement sub-step and the once-a-frame logic with drawing. The hero's movement, controls
    // and drawing are still to come; for now it stands where it was placed and draws nothing.
    void step(int32_t sub_step);
    void tick();
};

extern Player player;
