// Blocks: bricks, coin bricks, hidden blocks and question blocks, standing in map cells.
//
// The world step ticks a block once a frame while it is on screen; blocks never move. The hero's
// contact pass offers a bump to a block while rising (`try_bump`): a bumped block lifts for eight
// frames and releases its content, and a brick under a big hero breaks into four flying pieces.
// Blocks write into the map: a broken brick's cell empties, and a spent coin brick or a found
// hidden block keeps its cell TILE_HIDDEN (solid, painted as sky; the block draws itself over it).
#pragma once

#include "world/entity.h"

#include <cstdint>

constexpr int32_t BLOCK_BRICK = 0;
constexpr int32_t BLOCK_COIN_BRICK = 1;
constexpr int32_t BLOCK_HIDDEN = 2;
constexpr int32_t BLOCK_QUESTION = 3;

constexpr int32_t CONTENT_COIN = 0;
constexpr int32_t CONTENT_GROWTH = 2;  // any other content releases nothing

class Block : public Entity {
public:
    bool used = false;         // content released, or brick broken, for good
    int32_t bump = 0;          // drawing offset of the bump, 0 at rest, -1 to -8 after a hit
    int32_t debris_timer = 0;  // the broken brick's debris: 1 at the break, +2 a frame, 0 after
    int32_t block_type = BLOCK_BRICK;
    int32_t content = CONTENT_COIN;
    // What the drawing shows this frame, decided by the tick: whether the block is seen and lifted
    // by how much, and the brick debris at which time (0: none) in which of its two pictures.
    bool shown = false;
    int32_t shown_bump = 0;
    int32_t shown_debris = 0;
    Sprite debris_picture;

    // A brick.
    Block(int32_t x, int32_t y);
    Block(int32_t x, int32_t y, int32_t type, int32_t content);

    // Once a frame while on screen: picture, bump and debris.
    void tick();
    // The hero's head at world x px and top py, rising, with its power: true when it bumped.
    bool try_bump(int32_t px, int32_t py, int32_t power);
    // A bump from below by a hero of this power (0 small, 1 big).
    void hit(int32_t power);
    // The picture for this frame; keeps a spent coin brick's or found hidden block's cell solid.
    void pick_sprite();
    // Draws the block and its flying debris as this frame's tick left them.
    void render() const;

private:
    void show(int32_t at_bump);
    void draw_debris(int32_t screen_x) const;
};
