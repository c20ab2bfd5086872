#include "world/level_store.h"

std::vector<std::shared_ptr<void>> level_objects;

void clear_level() {
    objects.clear();
    level_objects.clear();
}
