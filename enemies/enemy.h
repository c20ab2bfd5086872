// Enemies: the walking enemy, the shell enemy in its walking form, and the shell it leaves.
//
// The world step moves an enemy in its sub-steps (terrain motion, then its contacts with the other
// enemies) and ticks it once a frame (activation, gravity, animation, removal). The hero's contact
// pass asks `collide` what the hero's box does to it; enemies ask each other the same in
// `touch_enemies`. Kills pay points through the kill chain in game_state (`combo`, `combo_timer`).
//
// enemy.cpp holds the rules (activation, contacts, kills), enemy_looks.cpp the walk cycles and the
// death animations, enemy_drawing.cpp the drawing; the motion shared with the growth item is the
// world's terrain motion.
#pragma once

#include "world/entity.h"
#include "world/terrain.h"

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
    // A stomped enemy squashes for anim 0 to 14, then lies flat until anim 90.
    static constexpr int32_t squash_frames = 15;

    int32_t walk_anim = 0;  // the walk cycle, 0 to 160
    int16_t enemy_type = 0;
    bool mirrored = false;
    bool dead = false;    // only the death animation remains
    int32_t points = 0;   // what its kill paid, shown rising above it
    bool active = false;  // has come on screen and not gone far off since
    bool knocked = false; // killed by a shell: falls through everything, upside down
    // What the drawing shows this frame, decided by the tick: whether the enemy is seen, and the
    // anim its body is drawn at (a dying enemy's stage; anim itself has moved on by then).
    bool shown = false;
    int32_t shown_anim = 0;

    // Walking left at 3 pixels per frame; a shell walker starts 26 pixels higher, as its picture is
    // taller than a cell.
    Enemy(int32_t x, int32_t y, int16_t type);

    // ---- enemy.cpp ----
    // One movement sub-step, then the contacts with the other enemies.
    void step(int32_t sub_step);
    // Once a frame: wakes on screen, sleeps far off it, falls, animates, leaves below y 700.
    void tick();
    // The contact of a toucher's box {left, top, right, bottom} with this enemy.
    int32_t collide(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t toucher);
    // This enemy's contacts with every other enemy, the last entry first.
    void touch_enemies();
    // Dead, scoring the next kill of the chain.
    void kill();
    void apply_gravity() { terrain().apply_gravity(); }

    // ---- enemy_looks.cpp ----
    // The picture and its mirroring for the type and the walk cycle.
    void pick_sprite();
    // Runs the walk cycle or the death animation, deciding what the drawing shows; a finished death
    // animation leaves the object list.
    void animate();

    // ---- enemy_drawing.cpp ----
    // Draws the enemy alive or dying and the points of its kill, as this frame's tick left it.
    void render() const;

private:
    TerrainMotion terrain();
};
