// Levels in play: turning a map's object cells into objects, restarting the level after a lost
// life, and moving on to the next of the three maps.
//
// The objects of a level (blocks, enemies, pipe entrances, and the items blocks release) belong to
// one store that every level load empties together with the object list, so nothing of an earlier
// attempt stays alive. The hero is never part of it.
#pragma once

#include <memory>
#include <string>
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

// Appends one object per object cell of current_map (column by column, top to bottom within a
// column, rows 0 to 19 only) to the object list, and empties the cells of enemies, hidden blocks
// and pipe entrances.
void populate_level();

// Restarts the level in play with a fresh hero, then shows the banner (or the game-over screen) and
// clears restart_level. False, with the reason in error and nothing changed, when the map cannot be
// read again.
bool reload_level(std::string& error);

// Advances level_index and loads its map (after the third level the game is over), keeping the
// hero's power, then shows the banner or the game-over screen. False, with the reason in error,
// when the map cannot be read.
bool load_next_level(std::string& error);

// Empties the object list and frees the level's objects.
void clear_level();
