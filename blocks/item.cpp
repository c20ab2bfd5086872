#include "blocks/item.h"

void Item::step(int32_t) {}

void Item::tick() {}

int32_t Item::collect(int32_t, int32_t, int32_t, int32_t) { return 0; }
