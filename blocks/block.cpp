#include "blocks/block.h"

void Block::tick() {}
