// The map reader, then every tile-map query the game makes on what it accepted, across the map and
// a margin beyond each edge, and at the far ends of the coordinates.
#include "fuzz/support.h"
#include "world/map_file.h"
#include "world/tile_map.h"

#include <climits>
#include <cstring>

namespace {

int32_t cell_in_file(const uint8_t* data, int64_t index) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | data[8 + 4 * index + i];
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    const char* path = fuzz::write_input(data, size, ".map");
    TileMap map;
    std::string error;
    if (!read_map(path, map, error)) {
        fuzz::expect(!error.empty() && !map.map_cells, "a refused map says why and is left as it was");
        return 0;
    }
    const int32_t width = map.get_width(), height = map.get_height();
    fuzz::expect(width >= 1 && height >= 1 && width <= max_map_columns && height <= max_map_rows,
                 "an accepted map has sizes within the limits");
    fuzz::expect(8 + 4 * static_cast<int64_t>(width) * height <= static_cast<int64_t>(size),
                 "an accepted map holds every cell its sizes say");
    fuzz::expect(std::strcmp(map.path, path) == 0, "an accepted map keeps its path");

    constexpr int32_t margin = 3;
    for (int32_t row = -margin; row < height + margin; ++row) {
        for (int32_t col = -margin; col < width + margin; ++col) {
            const int32_t code = map.cell_at(col, row);
            if (row < 0 || row >= playing_rows) {
                fuzz::expect(code == TILE_EMPTY, "rows outside the playing field are empty");
            } else if (col >= 0 && col < width && row < height) {
                fuzz::expect(code == cell_in_file(data, map.index_of(col, row)),
                             "a cell reads as the file holds it");
            }
            map.tile_box(col, row - 1);
        }
    }
    for (int32_t far : {INT_MIN, INT_MIN + 1, -1 - width, INT_MAX - 1, INT_MAX}) {
        for (int32_t near : {-1, 0, 1, height - 1, height}) {
            map.cell_at(far, near);
            map.cell_at(near, far);
            map.cell(static_cast<int64_t>(far) * width + near);
        }
    }
    // The writes the game makes (a brick broken, a hidden block found) stay inside the cells too.
    for (int32_t row = -margin; row < height + margin; ++row) {
        for (int32_t col = -margin; col < width + margin; ++col) {
            if ((col ^ row) & 1) {
                map.clear_cell(col, row);
            } else {
                map.block_cell(col, row);
            }
        }
    }
    return 0;
}
