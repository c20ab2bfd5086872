// Blocks: bricks, coin bricks, hidden blocks and question blocks, standing in map cells.
//
// The world step ticks a block once a frame while it is on screen; blocks never move. The hero's
// contact pass offers a bump to a block while rising (`try_bump`). Bumping, releasing content,
// breaking and drawing arrive with the blocks themselves; until then a block draws nothing and
// refuses every bump.
#pragma once

#include "world/entity.h"

#include <cstdint>

constexpr int32_t BLOCK_BRICK = 0;
constexpr int32_t BLOCK_COIN_BRICK = 1;
constexpr int32_t BLOCK_HIDDEN = 2;
constexpr int32_t BLOCK_QUESTION = 3;

constexpr int32_t CONTENT_COIN = 0;
constexpr int32_t CONTENT_GROWTH = 2;

class Block : public Entity {
public:
    bool used = false;         // content released, or brick broken, for good
    int32_t bump = 0;          // drawing offset of the bump, 0 at rest, -1 to -8 after a hit
    int32_t debris_timer = 0;  // the broken brick's debris animation
    int32_t block_type = BLOCK_BRICK;
    int32_t content = CONTENT_COIN;

    // A brick.
    Block(int32_t x, int32_t y);
    Block(int32_t x, int32_t y, int32_t type, int32_t content);

    void tick();
    // The hero's head at world x px and top py, rising, with its power: true when it bumped.
    bool try_bump(int32_t px, int32_t py, int32_t power);
};
