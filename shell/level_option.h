// `--levels [DIR]`, taken alike by brickrun, brickrun-fs, brickrun-headless and brickrun-solve: play
// the pack of levels in DIR (world/level_pack.h) instead of the three built-in ones; without a DIR
// (nothing follows, or an option does), the player's own folder of levels.
#pragma once

#include "platform/platform.h"
#include "world/level_pack.h"

#include <string>

// The folder of `--levels` at argv[i], taking its DIR when one follows (i then moves on to it).
inline std::string take_levels_folder(int argc, char** argv, int& i) {
    if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) return argv[++i];
    return player_levels_folder();
}

// Reads the pack in folder for the run; false with the one line to say in error. A bare name that
// is no folder here names a pack that ships with the game (packs/NAME in the data folder), so
// `--levels long-way-round` plays it wherever the game is installed.
inline bool use_levels_folder(const std::string& folder, std::string& error) {
    if (folder.empty()) {
        error = "--levels: no folder of the player's levels, as neither XDG_DATA_HOME nor HOME is "
                "set: name one, --levels DIR";
        return false;
    }
    const std::string shipped = platform::data_path("packs/" + folder);
    if (folder.find_first_of("/\\") == std::string::npos &&
        platform::path_kind(folder) == platform::PathKind::missing &&
        platform::path_kind(shipped) == platform::PathKind::folder)
        return load_level_pack(shipped, error);
    return load_level_pack(folder, error);
}
