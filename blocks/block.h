// Blocks: bricks, coin bricks, hidden blocks and question blocks, standing in map cells.
//
// The world step ticks a block once a frame while it is on screen; blocks never move. Bumping,
// releasing content, breaking and drawing are still to come; for now a block draws nothing.
#pragma once

#include "world/entity.h"

class Block : public Entity {
public:
    void tick();
};
