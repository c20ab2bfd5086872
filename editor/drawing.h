// The level editor's picture: the level as the game draws it (or zoomed out), a faint grid, the
// problems framed in red, and the bar with the palette and the status line.
#pragma once

#include "editor/editor.h"

namespace editor {

void draw_editor(const Editor& editor);

// A legend piece drawn into a size x size square at (x, y), with its own picture: the palette's
// pieces and the zoomed-out level's cells.
void draw_piece(char piece, int32_t x, int32_t y, int32_t size);

// What the status bar calls a piece ("brick", "walker").
const char* piece_name(char piece);

}  // namespace editor
