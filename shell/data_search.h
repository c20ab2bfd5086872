// Where brickrun and brickrun-fs find their data (Graphics/, Maps/ and font.raw), so that they
// start from anywhere: the folder named by --data; else the working folder, where the game was
// made to find it; else the installed place beside the program (../share/brickrun); else the
// build's data folder beside the program (data/).
#pragma once

#include <string>

// Finds the data folder and makes the platform read the game's files from it. `given` is the
// --data folder ("" for none), `program_folder` the program's own (ending in '/', "" when not
// known). False, with the one line to tell the player, when `given` is no folder or no place holds
// the data.
bool use_data_folder(const std::string& given, const std::string& program_folder,
                     std::string& error);
