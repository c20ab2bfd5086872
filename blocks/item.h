// Items released by blocks: the popping coin and the growth item.
//
// A coin counts the moment it is made (100 points and a coin); it rises out of its block, spins,
// turns into a "100" and is gone after 41 frames, untouched by the hero. A growth item rises out
// of its block, then slides right at 4 pixels per frame with the walkers' terrain motion until the
// hero takes it: 200 points, a rising "200", and a small hero grows. An item appends itself to the
// object list; the block that makes it puts it in the level's store, which owns it.
#pragma once

#include "world/entity.h"
#include "world/terrain.h"

#include <cstdint>

constexpr int32_t ITEM_COIN = 0;
constexpr int32_t ITEM_GROWTH = 1;

// What `collect` answers when the hero has taken a growth item.
constexpr int32_t COLLECTED_GROWTH = 9;

class Item : public Entity {
public:
    bool done = false;  // leaves the object list at the end of this frame's tick
    int32_t item_type = ITEM_COIN;
    bool shown = false;  // the drawing shows it this frame (a waiting coin is not seen)

    // Made at (x, y) and appended to the object list; a coin is counted here.
    Item(int32_t x, int32_t y, int32_t type);

    // One movement sub-step; a coin never moves.
    void step(int32_t sub_step);
    // Once a frame, wherever the item is; ends a collected growth item.
    void tick();
    // The picture and the age; a growth item rises out of its block.
    void animate();
    // Draws the item or its points, as this frame's tick left it.
    void render() const;
    // The hero's world box {left, top, right, bottom}: COLLECTED_GROWTH when it took a growth item.
    int32_t collect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void apply_gravity() { terrain().apply_gravity(); }

private:
    TerrainMotion terrain();
};
