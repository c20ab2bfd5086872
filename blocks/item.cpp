#include "blocks/item.h"

void Item::step(int32_t) {}

void Item::tick() {}
