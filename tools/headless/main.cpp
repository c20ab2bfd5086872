// brickrun-headless: runs the game without a window. See the README for the command line.
#include "shell/command_line.h"
#include "shell/entry.h"
#include "tools/headless/runner.h"

#include <cstdio>


namespace {

constexpr const char* help = R"(usage: brickrun-headless [OPTION VALUE]...
Runs the game without a window: a virtual clock (33 ms a present), input from a script, every
picture kept in memory. The same options give the same run, bit for bit.

  --data DIR        the folder holding Graphics/, Maps/ and font.raw (default: the current one)
  --levels [DIR]    play the levels in DIR (text levels and .map files, in the order its pack.txt
                    gives, else by name) instead of the three built in; without DIR the player's
                    own folder, $XDG_DATA_HOME/brickrun/levels (~/.local/share/brickrun/levels)
  --input FILE      an input script: lines "N +KEY -KEY ..." (keys down or up after present N)
  --presents N      stop after the N-th present (default 3000); the run also ends with the game
  --shot N:FILE     save the picture of present N as PNG or BMP, by the name's ending (repeatable)
  --trace FILE      one JSON object per present: the screen, the game state, the hero, the
                    objects and the changed map cells
  --record FILE     record everything the game reads, for --replay
  --replay FILE     play a recording instead of a script (not with --input)
  --monkey SEED     play at random from SEED, checking the game's invariants after every present
  --guide FILE      with --monkey: an input script the monkey follows now and then
  --audio FILE      write the run's sound as a WAV file, mixed along the virtual clock
  --no-pictures     run the rules without drawing a pixel: the same trace, faster (no --shot)
  --edit FILE       the level editor on the text level FILE (a new level when there is none)
                    instead of the title menu; scripts add @X,Y (the pointer), +MOUSE2, +MOUSE3,
                    WHEELUP and WHEELDOWN, and every key by its DirectInput name (LCONTROL, Z, TAB)
  --help            print this and exit
  --version         print the version and exit

Exit status: 0 at the run's end; 1 when the game cannot start or a level cannot be read (a level
of a pack that does not compile: "file:line:column: message"); 2 for bad
options, a bad script or a recording that cannot be replayed; 3 when the monkey found an invariant
broken.
)";

}  // namespace

int main(int argc, char** argv) {
    if (answer_help_or_version(argc, argv, "brickrun-headless", help)) return 0;
    RunOptions options;
    std::string error;
    if (!parse_run_options(argc, argv, options, error)) {
        std::fprintf(stderr, "brickrun-headless: %s\n", error.c_str());
        return 2;
    }
    return run_headless(options);
}
