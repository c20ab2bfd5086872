// A copy of the whole game in play (game state, hero, map cells, objects, keys) that can be put
// back any number of times: the search tries many futures from one moment.
//
// Live objects are copied by class; a removed entry's object is never touched again, so it is kept
// alive as it is rather than copied.
#pragma once

#include "player/player.h"
#include "shell/game_state.h"
#include "world/object_list.h"

#include <cstdint>
#include <memory>
#include <vector>

struct Snapshot {
    GameState state;
    Player hero;
    bool frozen = false;
    char map_path[64] = {};
    int32_t map_width = 0, map_height = 0;
    std::vector<int32_t> cells;
    ObjectList list;
    std::vector<std::shared_ptr<void>> store;  // owns every object the list refers to
    uint8_t keys[256] = {};
    uint8_t prev_keys[256] = {};
};

Snapshot take_snapshot();
void restore_snapshot(const Snapshot& snapshot);
