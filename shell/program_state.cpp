#include "shell/program_state.h"

#include "blocks/block.h"
#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "editor/session.h"
#include "enemies/enemy.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"
#include "shell/flow.h"
#include "play/level.h"
#include "world/frame_record.h"
#include "world/level_pack.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// The level's objects: the list and the store that owns what it refers to, which go together.
struct LevelObjects {
    ObjectList& list;
    std::vector<std::shared_ptr<void>>& store;
};

// The one list. Pictures come before the hero: a hero made afresh takes its first picture from
// them. The run's levels (level_pack) are not in it: the command line chooses them before the game
// starts and nothing changes them while it runs, so a reset or a snapshot has nothing to put back;
// where the level in play is loaded from again (level_source) changes with every level, and is.
template <class Visit>
void visit_program_state(Visit&& visit) {
    visit(game_state);
    visit(current_screen);
    visit(quit_requested);
    visit_pictures(visit);
    visit(keys);
    visit(prev_keys);
    visit(mouse_dx);
    visit(mouse_dy);
    visit(mouse_left_down);
    visit(mouse_right_down);
    visit(prev_mouse_left_down);
    visit(prev_mouse_right_down);
    visit(keyboard_ready);
    visit(mouse_ready);
    visit(reported_pictures);
    visit(game_font);
    visit(screen_width);
    visit(screen_height);
    visit(current_map);
    visit(level_source);
    visit(world_frozen);
    visit(frame_record);
    visit(LevelObjects{objects, level_objects});
    visit(player);
    visit(flow);
    visit(level_load_error);
    visit(editor::session);
}

struct Resetter {
    template <class T>
    void operator()(T& record) {
        record = T{};
    }
    template <class T, size_t N>
    void operator()(T (&records)[N]) {
        for (T& record : records) (*this)(record);
    }
    void operator()(LevelObjects level) {
        level.list.clear();
        level.store.clear();
    }
};

// A map whose cells are its own, not shared with the one copied.
TileMap with_own_cells(const TileMap& map) {
    TileMap copy = map;
    if (map.map_cells) {
        const auto n = static_cast<size_t>(map.map_width) * static_cast<size_t>(map.map_height);
        copy.map_cells = std::shared_ptr<int32_t[]>(new int32_t[n]);
        std::copy_n(map.map_cells.get(), n, copy.map_cells.get());
    }
    return copy;
}

// The level's objects as values, one vector per class, and the list saying which is whose: what a
// snapshot keeps of them. A removed entry's object is never touched again, so none is kept for it.
struct SavedLevel {
    ObjectList list;
    std::vector<int32_t> slot;  // for each entry, its object's place in the vector of its class
    std::vector<Block> blocks;
    std::vector<Enemy> enemies;
    std::vector<Item> items;
    std::vector<PipeEntrance> pipes;
};

template <class T>
int32_t keep(std::vector<T>& kept, const void* object) {
    kept.push_back(*static_cast<const T*>(object));
    return static_cast<int32_t>(kept.size()) - 1;
}

SavedLevel save_level(const LevelObjects& level) {
    SavedLevel saved;
    saved.list = level.list;
    saved.slot.assign(static_cast<size_t>(level.list.count), -1);
    for (int32_t i = 0; i < level.list.count; ++i) {
        ObjectEntry& e = saved.list.entries[i];
        int32_t& slot = saved.slot[static_cast<size_t>(i)];
        switch (e.kind) {
            case KIND_BLOCK: slot = keep(saved.blocks, static_cast<Block*>(e.entity())); break;
            case KIND_ENEMY: slot = keep(saved.enemies, static_cast<Enemy*>(e.entity())); break;
            case KIND_ITEM: slot = keep(saved.items, static_cast<Item*>(e.entity())); break;
            case KIND_PIPE: slot = keep(saved.pipes, e.object); break;
            case KIND_PLAYER: break;
            default: e.object = nullptr; break;
        }
    }
    return saved;
}

// The saved objects copied afresh into one block of the level's store, the list pointing at them
// (the hero stays the one hero), so the saved level can be put back again and again.
void restore_level(const SavedLevel& saved, const LevelObjects& level) {
    struct Objects {
        std::vector<Block> blocks;
        std::vector<Enemy> enemies;
        std::vector<Item> items;
        std::vector<PipeEntrance> pipes;
    };
    auto objects = std::make_shared<Objects>(
        Objects{saved.blocks, saved.enemies, saved.items, saved.pipes});
    level.store.assign(1, objects);
    level.list = saved.list;
    for (int32_t i = 0; i < level.list.count; ++i) {
        ObjectEntry& e = level.list.entries[i];
        const auto slot = static_cast<size_t>(saved.slot[static_cast<size_t>(i)]);
        switch (e.kind) {
            case KIND_PLAYER: e.object = static_cast<Entity*>(&player); break;
            case KIND_BLOCK: e.object = static_cast<Entity*>(&objects->blocks[slot]); break;
            case KIND_ENEMY: e.object = static_cast<Entity*>(&objects->enemies[slot]); break;
            case KIND_ITEM: e.object = static_cast<Entity*>(&objects->items[slot]); break;
            case KIND_PIPE: e.object = &objects->pipes[slot]; break;
            default: break;
        }
    }
}

}  // namespace

struct SnapshotTaker {
    std::vector<std::function<void()>>& restorers;

    template <class T>
    void operator()(T& record) {
        restorers.push_back([&record, copy = record] { record = copy; });
    }
    template <class T, size_t N>
    void operator()(T (&records)[N]) {
        std::array<T, N> copy;
        std::copy_n(records, N, copy.begin());
        restorers.push_back([&records, copy] { std::copy_n(copy.begin(), N, records); });
    }
    void operator()(TileMap& map) {
        restorers.push_back([&map, copy = with_own_cells(map)] { map = with_own_cells(copy); });
    }
    void operator()(LevelObjects level) {
        restorers.push_back([level, saved = save_level(level)] { restore_level(saved, level); });
    }
    // Between two steps the last frame's lists are spent (the next world step empties them before
    // anything reads them); only the place in the debug colour cycle carries on.
    void operator()(FrameRecord& record) {
        restorers.push_back([&record, tests = record.trigger_tests] {
            record = FrameRecord{};
            record.trigger_tests = tests;
        });
    }
};

void reset_program_state() { visit_program_state(Resetter{}); }

namespace {

// The first built-in level into the map in play, the later ones checked; false after one line on
// stderr.
bool read_built_in_levels() {
    std::string error;
    if (!read_map(level_paths[0], current_map, error)) {
        platform::report_fatal("brickrun: cannot load level 1: " + error);
        return false;
    }
    // The later levels are read again when they are reached; a broken one refuses to start now
    // rather than end a game half-way.
    for (int level = 2; level <= 3; ++level) {
        TileMap check;
        if (!read_map(level_paths[level - 1], check, error)) {
            platform::report_fatal("brickrun: cannot load level " + std::to_string(level) + ": " +
                                   error);
            return false;
        }
    }
    return true;
}

}  // namespace

bool init_program_state() {
    reset_program_state();
    // Every level of a pack was read and checked when it was chosen, before the game started.
    if (!level_pack.levels.empty()) {
        install_pack_level(0);
    } else if (!read_built_in_levels()) {
        return false;
    }
    player = Player{};
    game_state.next_frame_time = static_cast<int32_t>(platform::time_ms() - 1);
    return true;
}

ProgramSnapshot ProgramSnapshot::take() {
    ProgramSnapshot snapshot;
    visit_program_state(SnapshotTaker{snapshot.restorers_});
    return snapshot;
}

void ProgramSnapshot::restore() const {
    for (const auto& restore : restorers_) restore();
}
