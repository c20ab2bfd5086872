// Where brickrun and brickrun-fs find their data (Graphics/, Maps/ and font.raw), so that they
// start from anywhere: the folder named by --data; else the working folder, where the game was
// made to find it; else, as the programs are laid out,
// - installed on Linux, or in a build: the installed place beside the program (../share/brickrun),
//   then the build's data folder beside it (data/);
// - unzipped on Windows: the program's own folder, where the zip keeps the data beside it.
#pragma once

#include <string>

enum class DataLayout { installed, unzipped };

#ifdef _WIN32
constexpr DataLayout native_layout = DataLayout::unzipped;
#else
constexpr DataLayout native_layout = DataLayout::installed;
#endif

// Finds the data folder and makes the platform read the game's files from it. `given` is the
// --data folder ("" for none), `program_folder` the program's own (ending in its separator, "" when
// not known). False, with the one line to tell the player, when `given` is no folder or no place
// holds the data: on Windows in Windows' terms, naming the folders looked in, with no option to
// offer a player who started the game from Explorer.
bool use_data_folder(const std::string& given, const std::string& program_folder,
                     std::string& error, DataLayout layout = native_layout);
