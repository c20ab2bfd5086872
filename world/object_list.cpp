#include "world/object_list.h"

#include <cstddef>

ObjectList objects;

void ObjectList::append(void* object, int16_t kind) {
    if (count == capacity - 2) grow(growth);
    entries[count] = {object, kind};
    count += 1;
}

void ObjectList::grow(int32_t n) {
    entries.resize(static_cast<size_t>(capacity) + n);
    capacity += n;
}

void ObjectList::remove(const void* object) {
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].object == object) entries[i].kind = KIND_REMOVED;
    }
}

void ObjectList::clear() {
    count = 0;
    capacity = initial_capacity;
    entries.assign(initial_capacity, ObjectEntry{});
}
