#include "tools/headless/file_cells.h"

#include "world/level_pack.h"
#include "world/map_file.h"

#include <string>

int32_t FileCells::at(const TileMap& map, int64_t index) {
    if (map.map_cells != seen_cells) {
        seen_cells = map.map_cells;
        TileMap as_read;
        std::string error;
        file_cell_count = 0;
        file_cells.reset();
        // A level loaded from memory (a pack's) is compared with its cells as loaded.
        if (level_source.fresh.map_cells) {
            file_cells = level_source.fresh.map_cells;
            file_cell_count =
                static_cast<int64_t>(level_source.fresh.map_width) * level_source.fresh.map_height;
        } else if (read_map(map.path, as_read, error)) {
            file_cells = as_read.map_cells;
            file_cell_count = static_cast<int64_t>(as_read.map_width) * as_read.map_height;
        }
    }
    return index >= 0 && index < file_cell_count ? file_cells[index] : -1;
}
