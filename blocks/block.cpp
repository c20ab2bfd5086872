#include "blocks/block.h"

#include "shell/pictures.h"

Block::Block(int32_t x0, int32_t y0) : Block(x0, y0, BLOCK_BRICK, CONTENT_COIN) {}

Block::Block(int32_t x0, int32_t y0, int32_t type, int32_t what) {
    x = x0;
    y = y0;
    sprite = brick_sprite;
    recompute_box();
    block_type = type;
    content = what;
}

void Block::tick() {}

bool Block::try_bump(int32_t, int32_t, int32_t) { return false; }
