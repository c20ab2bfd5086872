// Scenario helpers: a level from a few lines of text, the hero placed in it, frames played with
// keys.
#pragma once

#include "world/entity.h"
#include "world/object_list.h"
#include "world/tile_map.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// A map from rows written in the level files' legend: '.' empty, '=' ground, 'X' block, 'B' brick,
// 'C' coin brick, '?' question block, 'G' growth block, 'H' hidden block, 'w' walker, 's' shell
// walker, '[' ']' pipe body, '{' '}' pipe top, 'v' pipe entrance. The last row given is row 19 (the
// bottom of the screen at y 576); missing rows above are empty, short rows are padded with '.'.
TileMap text_map(const std::vector<std::string>& rows);

// The map as the game's map file holds it: two int32 sizes and the cells row by row, little-endian.
std::string map_file_bytes(const TileMap& map);

// Makes the map the level in play as a level load does (installed, objects made from its cells)
// with a fresh hero at (x, y) as entry 0, and a game running.
void start_level(const TileMap& map, int32_t hero_x = 67, int32_t hero_y = 503);

// Plays n game frames with exactly these keys held (DirectInput codes); false when the game ended.
bool play_frames(int n, std::initializer_list<int> held = {});

// The whole program as win_main runs it, on the headless backend, stopped after present `last` if
// the game has not ended by then; returns the exit status.
int run_program(int last);

// Plays the whole program from the title menu in the data folder `data` as brickrun-headless
// does, with an input script (a recorded clear), until `more` presents after its last line;
// `on_present` sees every present with its number. `before` runs once the headless backend has
// been reset, before the game starts (to make and capture its sound, say).
void play_script(const std::string& script_path, const std::string& data, int more,
                 const std::function<void(int present)>& on_present,
                 const std::function<void()>& before = [] {});

// The n-th entity of this kind in the object list (0 the first), as its class; null if none.
template <class T>
T* nth_object(int16_t kind, int n = 0) {
    for (int32_t i = 0; i < objects.count; ++i) {
        if (objects.entries[i].kind == kind && n-- == 0)
            return static_cast<T*>(objects.entries[i].entity());
    }
    return nullptr;
}
