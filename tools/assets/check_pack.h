// brickrun-assets check-pack DIR [--data DATA]: every level of a pack compiled and then proved to be
// finished, each by brickrun-solve --level run beside this program as a child process (brickrun-assets
// does not link the game). One line a level on stdout: proved, with the time its proof took, or how
// far the hero got; a broken level gets its file:line:column: message on stderr.
#pragma once

#include <string>

// The exit status: 0 every level proved, 1 a level broken or not proved (a last line on stderr
// names them) or no pack, no solver or no game data found. `data` is the game's data folder ("":
// the build's data/ beside this program, then the installed ../share/brickrun, then the current
// folder); `program` the path this program was started by.
int check_pack(const std::string& folder, const std::string& data, const std::string& program);
