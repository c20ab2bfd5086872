#include "tools/headless/file_cells.h"

#include "world/map_file.h"

#include <string>

int32_t FileCells::at(const TileMap& map, int64_t index) {
    if (map.map_cells != seen_cells) {
        seen_cells = map.map_cells;
        TileMap as_read;
        std::string error;
        file_cell_count = 0;
        file_cells.reset();
        if (map.path[0] == '\0') {
            // A map made in memory (the level editor's, in test-play) has no file: its cells as
            // first seen stand for it.
            file_cell_count = static_cast<int64_t>(map.map_width) * map.map_height;
            file_cells = std::shared_ptr<int32_t[]>(new int32_t[static_cast<size_t>(file_cell_count)]);
            for (int64_t i = 0; i < file_cell_count; ++i) file_cells[i] = map.cell(i);
        } else if (read_map(map.path, as_read, error)) {
            file_cells = as_read.map_cells;
            file_cell_count = static_cast<int64_t>(as_read.map_width) * as_read.map_height;
        }
    }
    return index >= 0 && index < file_cell_count ? file_cells[index] : -1;
}
