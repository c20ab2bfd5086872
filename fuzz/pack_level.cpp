// A pack's level as the game reads it at start (a text level compiled, its map decoded), then made
// the level in play and its objects made from its cells, as the first level of a pack is; then
// restarted, as after a lost life, which must find the cells as they were loaded. The same input
// read as a pack's .map and handed over as the editor's test-play hands over its map.
#include "fuzz/support.h"
#include "play/level.h"
#include "world/level_pack.h"
#include "world/level_store.h"
#include "world/map_file.h"
#include "world/object_list.h"
#include "world/tile_map.h"

#include <algorithm>
#include <string>

namespace {

void play_as_map(const uint8_t* data, size_t size) {
    TileMap map;
    std::string error;
    if (!map_from_bytes({data, size}, map, error)) {
        fuzz::expect(!error.empty() && !map.map_cells, "a refused map says why and is left as it was");
        return;
    }
    start_level_at(map, map.map_width / 2, std::min(map.map_height, playing_rows) / 2, 0);
    fuzz::expect(objects.count >= 1 && objects.entries[0].kind == KIND_PLAYER,
                 "the hero comes first in the level's objects");
    clear_level();
    level_source = LevelSource{};
}

void play_as_text(const uint8_t* data, size_t size) {
    const char* path = fuzz::write_input(data, size, ".txt");
    std::string error;
    use_built_in_levels();
    if (!load_level_file(path, error)) {
        fuzz::expect(!error.empty() && level_pack.levels.empty(),
                     "a refused level says why and leaves the built-in levels");
        return;
    }
    const TileMap& loaded = level_pack.levels.at(0).map;
    fuzz::expect(loaded.map_width >= 1 && loaded.map_height >= playing_rows &&
                     loaded.map_width <= max_map_columns && loaded.map_height <= max_map_rows,
                 "an accepted level has sizes within the limits");
    const auto count = static_cast<size_t>(loaded.map_width) * static_cast<size_t>(loaded.map_height);
    const std::vector<int32_t> as_loaded(loaded.map_cells.get(), loaded.map_cells.get() + count);

    clear_level();
    install_pack_level(0);
    populate_level();
    fuzz::expect(current_map.map_cells != loaded.map_cells, "play never writes the loaded cells");
    fuzz::expect(std::equal(as_loaded.begin(), as_loaded.end(), loaded.map_cells.get()),
                 "making the objects leaves the loaded cells as they were");
    fuzz::expect(reload_level(error), "a level loaded from memory always loads again");
    fuzz::expect(objects.count >= 1, "a restarted level holds the hero");

    clear_level();
    level_source = LevelSource{};
    use_built_in_levels();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    play_as_text(data, size);
    play_as_map(data, size);
    return 0;
}
