// The headless runner's trace: one JSON object per present, holding the game state, the hero, the
// object list and the cells of the map that differ from its file. Outside checks compare it field
// by field with their own reading of the rules, so every float is written with 9 significant digits
// (single precision round-trips) and every name is the field's own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TraceWriter {
public:
    // The line for one present, as the state stands when the present is called.
    std::string line(int present);

private:
    std::string map_changes();

    // The map in play as its file was read, re-read whenever the cells in play are replaced.
    // Holding the cells seen last keeps their address from being reused by the next map.
    std::shared_ptr<int32_t[]> seen_cells;
    std::shared_ptr<int32_t[]> file_cells;
    int64_t file_cell_count = 0;
};
