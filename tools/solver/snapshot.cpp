#include "tools/solver/snapshot.h"

#include "blocks/block.h"
#include "blocks/item.h"
#include "enemies/enemy.h"
#include "render/input.h"
#include "world/level.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies of the list's live objects, with the list pointing at them; removed entries keep theirs.
void clone_objects(const ObjectList& from, const std::vector<std::shared_ptr<void>>& keep,
                   ObjectList& list, std::vector<std::shared_ptr<void>>& store) {
    list = from;
    store = keep;
    for (int32_t i = 0; i < list.count; ++i) {
        ObjectEntry& e = list.entries[i];
        auto copy = [&](auto* object) {
            auto clone = std::make_shared<std::remove_pointer_t<decltype(object)>>(*object);
            store.push_back(clone);
            return clone.get();
        };
        switch (e.kind) {
            case KIND_PLAYER: e.object = static_cast<Entity*>(&player); break;
            case KIND_BLOCK:
                e.object = static_cast<Entity*>(copy(static_cast<Block*>(e.entity())));
                break;
            case KIND_ENEMY:
                e.object = static_cast<Entity*>(copy(static_cast<Enemy*>(e.entity())));
                break;
            case KIND_ITEM:
                e.object = static_cast<Entity*>(copy(static_cast<Item*>(e.entity())));
                break;
            case KIND_PIPE: e.object = copy(static_cast<PipeEntrance*>(e.object)); break;
            default: break;
        }
    }
}

}  // namespace

Snapshot take_snapshot() {
    Snapshot s;
    s.state = game_state;
    s.hero = player;
    s.frozen = world_frozen;
    std::memcpy(s.map_path, current_map.path, sizeof s.map_path);
    s.map_width = current_map.map_width;
    s.map_height = current_map.map_height;
    int64_t n = static_cast<int64_t>(s.map_width) * s.map_height;
    s.cells.assign(current_map.map_cells.get(), current_map.map_cells.get() + n);
    clone_objects(objects, level_objects, s.list, s.store);
    std::memcpy(s.keys, keys, sizeof keys);
    std::memcpy(s.prev_keys, prev_keys, sizeof prev_keys);
    return s;
}

void restore_snapshot(const Snapshot& s) {
    game_state = s.state;
    player = s.hero;
    world_frozen = s.frozen;
    // A fresh array: a level load in between may have replaced the map in play.
    std::memcpy(current_map.path, s.map_path, sizeof s.map_path);
    current_map.map_width = s.map_width;
    current_map.map_height = s.map_height;
    current_map.map_cells = std::make_shared<int32_t[]>(s.cells.size());
    std::copy(s.cells.begin(), s.cells.end(), current_map.map_cells.get());
    clone_objects(s.list, s.store, objects, level_objects);
    std::memcpy(keys, s.keys, sizeof keys);
    std::memcpy(prev_keys, s.prev_keys, sizeof prev_keys);
}
