// The base of everything that lives in the world: the hero, blocks, enemies and items.
//
// Positions are whole pixels (x of the left edge, y of the top edge), velocities fractional pixels
// per frame. Whenever x or y changes, `box` is recomputed from the sprite current at that moment;
// changing the sprite alone leaves the box as it was. For the hero x is a screen coordinate and
// `scroll` the camera; everything else keeps world x and scroll 0.
#pragma once

#include "render/sprite.h"
#include "world/geometry.h"

#include <cstdint>

// A velocity plus a tuning constant: the sum is formed in double precision and stored back in
// single precision, as all velocity arithmetic of the world is.
inline float plus(float velocity, double change) {
    return static_cast<float>(static_cast<double>(velocity) + change);
}

class Entity {
public:
    int32_t x = 0;
    float vx = 0.0f;
    int32_t y = 0;
    float vy = 0.0f;
    int32_t scroll = 0;
    int32_t anim = 0;
    bool facing_left = false;
    Sprite sprite;
    Rect box;

    virtual ~Entity() = default;

    virtual int32_t get_x() const { return x; }
    virtual int32_t get_y() const { return y; }
    virtual int32_t get_scroll() const { return scroll; }

    void set_y(int32_t new_y);
    void move_x(int32_t dx);
    int32_t world_x() const { return get_scroll() + get_x(); }
    // Follows the sign of vx; a standing entity keeps facing where it last went.
    bool update_facing();

    // At (x, y) as screen coordinates: the hero's forms.
    void draw() const;
    void draw_mirrored() const;
    // At a given screen x: blocks, enemies and items pass x - camera_x.
    void draw_at(int32_t screen_x) const;
    void draw_mirrored_at(int32_t screen_x) const;

    // box = {x, y, x + width, y + height} of the sprite current now.
    void recompute_box();
};
