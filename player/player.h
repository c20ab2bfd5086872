// The hero: one Player, `player`, always entry 0 of the object list.
//
// Its x is a screen coordinate and its scroll the camera, so its place in the map is world_x(); y
// is the top edge (the map does not scroll vertically). The sprite-set fields hold copies of the
// program-wide pictures for the current power (small or big); the hero picks its picture from them
// every frame, and that picture's width and height are its size in every rule.
//
// The class is split by concern: movement.cpp (the sub-step, the tile probes, the camera, gravity),
// controls.cpp (keys, jumps, wall slides and the hero's frame), life.cpp (contacts, hits, death,
// pipes), looks.cpp (picture choice, the growth, pipe, shrink and blink animations, and what the
// picture shows this frame) and drawing.cpp (the drawing, which only reads what the frame decided).
//
// `airborne` has a side effect: it hands out up to 21 answers of "on the ground" without ground
// after every (re)start, so the number and order of its calls is part of how the hero moves. Each
// operation calls it exactly where its comment says.
#pragma once

#include "world/entity.h"
#include "world/geometry.h"

#include <cstdint>

class Player : public Entity {
public:
    // Where a level starts the hero: a fresh hero stands at (67, 503); a level change puts a small
    // hero at (67, 502) and a big one 30 pixels higher, at (67, 472).
    static constexpr int32_t start_x = 67;
    static constexpr int32_t start_y = 503;
    static constexpr int32_t next_level_small_y = 502;
    static constexpr int32_t next_level_big_y = 472;

    bool wall_right = false;  // sliding down a wall on the right
    bool wall_left = false;
    bool hurt = false;        // hit: shrinking, then blinking and invulnerable
    bool crouching = false;
    bool jumping = false;     // a ground jump in its boosted rising phase
    int32_t jump_ref_y = 0;   // the take-off height that limits the boost
    int32_t death_timer = 0;  // 0 alive; from 1 on, frames of dying
    int32_t grow_timer = 0;   // 0, or frames of the growth animation
    int32_t power = 0;        // 0 small, 1 big
    int32_t hurt_timer = 0;   // frames since the hit
    int32_t pipe_timer = 0;   // 0, or frames of sinking into a pipe
    float saved_vx = 0.0f;    // the velocity at the last hit, restored when the shrink ends
    float saved_vy = 0.0f;
    int16_t start_grace = 0;  // ground answers given without ground, at most 21 per life
    Sprite spr_stand, spr_run0, spr_run1, spr_run2, spr_jump, spr_duck, spr_wall;
    // What the drawing shows this frame, decided by the hero's frame: whether the hero is seen, at
    // which y (32 above it in a shrink's big frames, sunk into the exit pipe going down it), and
    // whether the pipes are drawn again in front of it.
    bool shown = false;
    int32_t shown_y = 0;
    bool in_pipe = false;

    // A small hero at (67, 503), not moving.
    Player();
    // Clears the per-life state for the next level; power, picture, anim and position stay.
    void reset();
    // Fills the seven sprite-set fields for the current power; the shown sprite stays.
    void load_sprite_set();

    // ---- movement.cpp ----
    // One movement sub-step: at most one pixel per axis, then the contacts with other objects.
    void step(int32_t sub_step);
    // Once a frame: free fall by 0.8 up to 16, a wall slide by 0.4 up to 6.
    void apply_gravity();
    // Nothing under the feet? Finding ground clears both wall flags.
    bool airborne();
    // Before a one-pixel vertical move: ground below or a ceiling above stops it (vy becomes 0).
    bool vertical_blocked();
    // Before a one-pixel sideways move; with neither direction, pushes a big hero's head out of
    // solid cells to the left.
    bool blocked_sideways(bool right, bool left);
    // One pixel sideways: across the screen, or the map scrolls under the hero.
    void shift_x(int32_t d);

    // ---- controls.cpp ----
    // The hero's frame: keys, wall test, gravity, picture and animations, death and jump timers,
    // falling out of the level.
    void tick();
    void handle_input();
    // Shapes a jump's rise while Space is held, and performs a wall jump.
    void jump_physics();
    // Falling next to a wall after some frames against it is a wall slide.
    void detect_wall();

    // ---- life.cpp ----
    // The hero against every other object, with its world box.
    void touch_objects(Rect world_box);
    // A big hero shrinks, a small one dies; nothing while blinking.
    void take_hit();

    // ---- looks.cpp ----
    // Chooses the picture for this frame; runs the growth animation.
    void pick_sprite();
    // Runs the pipe, shrink and blink animations and decides what the drawing shows.
    void animate();

    // ---- drawing.cpp ----
    // Draws the hero as this frame's rules left it, and the pipes in front of it in a pipe.
    void render() const;

private:
    void show_at(int32_t at_y);
    void show_normally();
};

// The pipe-entry trigger at the exit of a level: a point on the top of the exit pipe with a box of
// zero width and 5 pixels of height below it.
struct PipeEntrance {
    int32_t x = 0;
    int32_t y = 0;
    Rect box;

    PipeEntrance(int32_t x, int32_t y) : x(x), y(y), box{x, y, x, y + 5} {}
    // Whether the hero's world box touches the trigger; notes the test, for the drawing to show the
    // trigger in the debug colours.
    bool touch(const Rect& hero_box) const;
};

extern Player player;
