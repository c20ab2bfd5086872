// Small text levels for the tests of packs: 20 rows of the level format, the hero's start free
// on ground, and an exit pipe a short walk to the right.
#pragma once

#include <string>

// A level `width` columns wide (at least 16) with its exit pipe at columns 12 and 13 and a block
// in the sky at column `mark`, so that levels of one pack can be told apart by their cells.
inline std::string tiny_level(int mark = 5, int width = 30) {
    std::string text = "# a small level: walk right, jump onto the pipe, go down it\n";
    for (int row = 0; row < 20; ++row) {
        std::string line(static_cast<size_t>(width), row >= 18 ? '=' : '.');
        if (row == 2) line[static_cast<size_t>(mark)] = 'X';
        if (row == 15) line[12] = 'v';
        if (row == 16) line.replace(12, 2, "{}");
        if (row == 17) line.replace(12, 2, "[]");
        text += line + "\n";
    }
    return text;
}
