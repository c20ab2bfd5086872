// The headless runner's trace: one JSON object per present, holding the game state, the hero, the
// object list and the cells of the map that differ from its file. Outside checks compare it field
// by field with their own reading of the rules, so every float is written with 9 significant digits
// (single precision round-trips) and every name is the field's own.
#pragma once

#include "tools/headless/file_cells.h"

#include <string>

class TraceWriter {
public:
    // The line for one present, as the state stands when the present is called.
    std::string line(int present);

private:
    std::string map_changes();

    FileCells file_cells;
};
