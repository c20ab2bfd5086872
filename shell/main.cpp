// The programs brickrun and brickrun-fs: the same game, built windowed or full screen.
#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "platform/scaling.h"
#include "shell/command_line.h"
#include "shell/data_search.h"
#include "shell/entry.h"
#include "shell/level_option.h"

#include <string>

namespace {

const char* const name = build_windowed ? "brickrun" : "brickrun-fs";

// The same options in both programs; only the first two lines name the one that runs.
const char* const what = build_windowed
                                 ? "The platform game brickrun, in a window (brickrun-fs plays it "
                                   "full screen).\n"
                                 : "The platform game brickrun, full screen (brickrun plays it in a "
                                   "window).\n";
constexpr const char* options = R"(
  --data DIR      read the game's data (Graphics/, Maps/ and font.raw) from DIR; without it the
                  current folder, then ../share/brickrun and data/ beside the program
  --levels [DIR]  play the levels in DIR (text levels and .map files, in the order its pack.txt
                  gives, else by name) instead of the three built in; without DIR the player's
                  own folder, $XDG_DATA_HOME/brickrun/levels (~/.local/share/brickrun/levels)
  --record FILE   write down everything the game reads, for brickrun-headless --replay
  --mute          start with the sound off (M switches it on and off while playing)
  --no-music      sound effects only
  --scale fill    full screen, and in a window more than twice the picture's size, fill the
                  screen with sharp pixels (the default)
  --scale whole   show the picture only at whole multiples of its size, black around it
  --edit [FILE]   open the level FILE (a text level) in the level editor; a new level when FILE
                  is not there or not given (then saved in the player's levels folder)
  -h, --help      print this and exit
  --version       print the version and exit

Keys: arrows walk, crouch and choose; Space jumps; Left Shift runs; Return chooses; Escape quits;
M sound off and on; F11 or Alt+Return full screen; F10 whole multiples only, or fill.

The level editor: left button paints the chosen piece, right button clears, Shift+drag fills a
rectangle (left) or clears one (right); the palette or Tab, Shift+Tab and 1-0 choose the piece.
Arrows, PageUp/PageDown, Home/End, the wheel and the middle button scroll; Z zooms out and in;
[ and ] make the level a column narrower or wider (Shift: ten); Ctrl+Z undo, Ctrl+Y redo, Ctrl+S
save; T plays from the cell under the pointer (Escape comes back); Escape leaves.
)";

constexpr const char* usage_line =
    " [--data DIR] [--levels [DIR]] [--record FILE] [--mute] [--no-music] [--scale whole|fill]"
    " [--edit [FILE]]";

}  // namespace

// The options are taken here: the game itself reads no command line.
int main(int argc, char** argv) {
    const std::string help = std::string("usage: ") + name + usage_line + "\n" + what + options;
    if (answer_help_or_version(argc, argv, name, help.c_str())) return 0;
    const std::string usage = std::string(" (usage: ") + name + usage_line + ")";
    std::string record, data, levels, edit;
    bool levels_given = false, editing = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--levels") {
            levels = take_levels_folder(argc, argv, i);
            levels_given = true;
            continue;
        }
        if (arg == "--edit") {
            editing = true;
            if (i + 1 < argc && argv[i + 1][0] != '-') edit = argv[++i];
            continue;
        }
        if (arg == "--mute") {
            platform::audio::set_muted(true);
            continue;
        }
        if (arg == "--no-music") {
            platform::audio::set_music_allowed(false);
            continue;
        }
        if (arg != "--record" && arg != "--data" && arg != "--scale") {
            platform::report_fatal("brickrun: unknown option " + arg + usage);
            return 2;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            platform::report_fatal("brickrun: " + arg +
                                   (arg == "--record" ? " needs a file name"
                                    : arg == "--data" ? " needs a folder"
                                                      : " needs whole or fill"));
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--scale") {
            if (value != "whole" && value != "fill") {
                platform::report_fatal("brickrun: --scale " + value + ": say whole or fill");
                return 2;
            }
            platform::set_scaling(value == "whole" ? platform::Scaling::whole
                                                   : platform::Scaling::fill);
            continue;
        }
        (arg == "--record" ? record : data) = value;
    }
    std::string error;
    if (!use_data_folder(data, platform::program_folder(), error)) {
        platform::report_fatal(error);
        return 1;
    }
    if (levels_given && !use_levels_folder(levels, error)) {
        platform::report_fatal(error);
        return 1;
    }
    if (!record.empty() && !platform::replay::record_to(record, error)) {
        platform::report_fatal("brickrun: " + record + ": " + error);
        return 2;
    }
    int status = editing ? edit_main(edit) : win_main();
    if (!platform::replay::finish_recording(true, error)) {
        platform::report_fatal("brickrun: " + record + ": " + error);
        if (status == 0) status = 2;
    }
    return status;
}
