// The levels a run plays: the three built-in maps of the data folder (read again at each load, as
// the game always has), or a pack of levels from a folder of the player's (formats/level_pack.h),
// read and compiled once at start and held in memory, each load copying its cells afresh, since play
// changes the cells of the map in play.
#pragma once

#include "world/tile_map.h"

#include <cstdint>
#include <string>
#include <vector>

struct PackLevel {
    std::string file;  // its path, as messages name it
    TileMap map;       // its cells as read (the map's path is empty); shared, never written
};

struct LevelPack {
    std::string folder;  // as the command line gave it
    std::string title, author;
    std::vector<PackLevel> levels;  // empty: the three built-in levels
};

// The run's levels. Chosen from the command line before the game starts and never changed while it
// runs, so neither reset nor snapshot touches it (shell/program_state.cpp).
extern LevelPack level_pack;

// Where the level in play is loaded from again after a lost life: its cells as loaded, when it
// came from memory (a pack's level, a map the editor hands over), else the map file that
// current_map.path names.
struct LevelSource {
    TileMap fresh;  // no cells: read current_map.path again
};

extern LevelSource level_source;

// The levels of a game: the pack's, or the three built-in ones.
int32_t level_count();

// Reads and compiles every level of the pack in `folder` into level_pack, before the game starts.
// False, with one line in error and level_pack as it was, when a level cannot be read or compiled
// ("file:line:column: message"), or the folder holds no pack ("folder: reason").
bool load_level_pack(const std::string& folder, std::string& error);

// The same for a pack of the one level file at `path`.
bool load_level_file(const std::string& path, std::string& error);

// Back to the three built-in levels.
void use_built_in_levels();

// The player's own folder of levels, which `--levels` without a folder plays and the editor saves
// to: $XDG_DATA_HOME/brickrun/levels, else $HOME/.local/share/brickrun/levels (on Windows
// %APPDATA%\brickrun\levels); "" when the environment names no home.
std::string player_levels_folder();
