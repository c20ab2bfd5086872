// The objects of the level in play: blocks, enemies, pipe entrances, and the items blocks release.
//
// They belong to one store that every level load empties together with the object list, so nothing
// of an earlier attempt stays alive. The hero is never part of it.
#pragma once

#include "world/object_list.h"

#include <memory>
#include <utility>
#include <vector>

// Every object of the level in play, owning it; the object list only refers to them.
extern std::vector<std::shared_ptr<void>> level_objects;

// A new object of the level in play, owned by the level.
template <class T, class... Args>
T* make_level_object(Args&&... args) {
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    level_objects.push_back(object);
    return object.get();
}

// Empties the object list and frees the level's objects.
void clear_level();
