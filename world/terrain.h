// The terrain motion of enemies and the growth item: a horizontal speed that reverses at walls,
// gravity while nothing solid is below, landing on solid cells.
//
// Motion comes one whole pixel at a time in the world step's sub-steps; gravity once a frame. Only
// the next pixel is tested against the map, and only a few cells are looked at: a tall walker is
// stopped by walls level with its top 32 rows alone, and the ceiling test builds its cell rectangle
// upside down. Those shapes are how walkers have always moved, so they stay.
//
// Enemies and items move alike except for the few rules in TerrainRules, which each class fills
// from its own state whenever it moves.
#pragma once

#include "world/entity.h"

#include <cstdint>

struct TerrainRules {
    // Moves only while x - camera_x lies in this window and the class allows it.
    int32_t window_left = 0;
    int32_t window_right = 0;
    bool may_move = false;
    // An enemy at the map's left end (x below 3) walks on left, off the map.
    bool walks_off_left_end = false;
    // An item stops at x 0 when moving left: it neither moves nor turns there.
    bool stops_at_left_end = false;
    // can_fall answers this at once when set: +1 true, -1 false, 0 asks the map.
    int32_t fall_answer = 0;
    // The enemy's ceiling test sleeps 5 ms per solid cell while S is held (slow motion).
    bool slow_motion = false;
};

// One entity moving through current_map under a set of rules. Cheap to make: a reference and the
// rules, made afresh for each call so the rules see the entity's state of the moment.
class TerrainMotion {
public:
    TerrainMotion(Entity& entity, const TerrainRules& rules) : e(entity), rules(rules) {}

    // Sub-step i: at most one pixel per axis. False when the entity may not move now.
    bool step(int32_t i);
    // vy grows by 0.65 per frame up to 10.4 while the entity can fall.
    void apply_gravity();
    // True when nothing solid is directly below.
    bool can_fall() const;
    // Whether a one-pixel sideways move that brings an edge to pixel column px is blocked.
    bool wall_ahead(int32_t px) const;
    // The landing and ceiling test before a one-pixel vertical move; sets vy to 0 when it
    // reports true.
    bool vertical_blocked();

private:
    Entity& e;
    TerrainRules rules;
};

// A map cell the terrain motion cannot pass: rows 0 to 19 only, any code but TILE_EMPTY.
bool terrain_solid(int32_t col, int32_t row);
