#include "tools/solver/options.h"

#include "shell/level_option.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

const char* const solve_help = R"(usage: brickrun-solve --data DIR (--levels N|DIR | --level FILE [--path FILE]) --out OUT [--segment N] [--beam N]
Searches, by playing the real game headless, for input scripts that clear the levels from the
title menu without losing a life, and writes them for brickrun-headless --input.

  --data DIR      the built game data
  --levels N      clear the first N built-in levels (1, 2 or 3: the whole game), writing
                  OUT/levelN.txt for each level before the last and OUT/game.txt for the last
  --levels DIR    prove the pack of levels in DIR (as brickrun --levels DIR plays it): a script
                  for each level likewise, OUT/game.txt the whole pack; replay them with
                  brickrun-headless --levels DIR. A whole number is a folder only when such a
                  folder exists (name it ./3 to be sure). Without DIR, the player's own folder
                  of levels
  --level FILE    prove one level file (.txt or .map) and write its script to the file OUT;
                  it replays with brickrun-headless --levels and a folder holding just FILE
  --out OUT       where the scripts go (a folder that exists; with --level, a file in one)
  --path FILE     with --level: write the hero's way through the level to FILE, one line a game
                  frame, "PRESENT X Y": the present that showed the frame (counted as in the
                  script) and the middle of the hero in world pixels (x from the level's left
                  edge, y down from the top of its second row, as the game draws it). Without a
                  clear, the way of the attempt that got furthest right
  --segment N     frames each choice of keys is held for (default 4)
  --beam N        how many candidates the search keeps at each step (default 8)
  -h, --help      print this and exit
  --version       print the version and exit

Exit status: 0 every level proved and its script written; 1 a level without a clear found (one
line names it and says how far right the hero got), a level that does not read, or a script that
cannot be written; 2 a bad command line (one line, before any search).
)";

namespace {

constexpr const char* usage =
    " (usage: brickrun-solve --data DIR (--levels N|DIR | --level FILE [--path FILE]) --out OUT "
    "[--segment N] [--beam N])";

// A whole number from low to high, or nothing.
std::optional<int> number(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value < low || value > high) return std::nullopt;
    return value;
}

bool refuse(const std::string& line) {
    std::fprintf(stderr, "brickrun-solve: %s\n", line.c_str());
    return false;
}

// A search takes minutes: a folder the scripts cannot go into is found out before it starts.
bool writable_folder(const std::string& option, const std::string& folder) {
    if (!fs::is_directory(folder.empty() ? "." : folder))
        return refuse(option + " " + folder + ": there is no such folder");
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
        return refuse(option + " " + folder + ": cannot write into it: " + std::strerror(errno));
    return true;
}

}  // namespace

bool read_solve_options(int argc, char** argv, SolveOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool known = option == "--data" || option == "--levels" || option == "--level" ||
                           option == "--out" || option == "--segment" || option == "--beam" ||
                           option == "--path";
        if (!known) return refuse("unknown option " + option + usage);
        // A whole number that is no folder keeps its old meaning, the first N built-in levels;
        // anything else, and nothing (the player's own folder), is a pack.
        if (option == "--levels") {
            const std::string folder = take_levels_folder(argc, argv, i);
            const bool digits = !folder.empty() && folder == argv[i] &&
                                folder.find_first_not_of("0123456789") == std::string::npos;
            options.pack = !digits || fs::is_directory(folder);
            if (options.pack) {
                options.pack_dir = folder;
                continue;
            }
            const std::optional<int> n = number(folder, 1, 3);
            if (!n) return refuse("--levels " + folder + ": say a whole number from 1 to 3");
            options.levels = *n;
            continue;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0')
            return refuse(option + " needs a value" + usage);
        const std::string value = argv[++i];
        std::optional<int> n = 1;
        if (option == "--data") options.data = value;
        else if (option == "--out") options.out = value;
        else if (option == "--level") options.level_file = value;
        else if (option == "--path") options.path = value;
        else if (option == "--segment" && (n = number(value, 1, 1000))) options.segment_frames = *n;
        else if (option == "--beam" && (n = number(value, 1, 1000))) options.beam_width = *n;
        if (!n) return refuse(option + " " + value + ": say a whole number from 1 to 1000");
    }
    if (options.pack && !options.level_file.empty())
        return refuse("--levels and --level cannot be given together: a pack, or one level");
    if (options.out.empty())
        return refuse(std::string("--out names no ") +
                      (options.level_file.empty() ? "folder to write the scripts into"
                                                  : "file to write the script to") +
                      usage);
    if (!options.path.empty()) {
        if (options.level_file.empty())
            return refuse("--path " + options.path + ": a way through one level: give --level too");
        if (fs::is_directory(options.path))
            return refuse("--path " + options.path + ": a folder, where the way's file was asked");
        if (!writable_folder("--path", fs::path(options.path).parent_path().string())) return false;
        options.path = fs::absolute(options.path).string();
    }
    if (!options.level_file.empty()) {
        if (fs::is_directory(options.out))
            return refuse("--out " + options.out + ": a folder, where the script's file was asked");
        if (!writable_folder("--out", fs::path(options.out).parent_path().string())) return false;
    } else {
        if (!fs::is_directory(options.out))
            return refuse("--out " + options.out + ": there is no such folder");
        if (!writable_folder("--out", options.out)) return false;
        std::error_code same;
        if (options.pack && fs::equivalent(options.out, options.pack_dir, same))
            return refuse("--out " + options.out +
                          ": the scripts would join the pack's levels: name another folder");
    }
    options.out = fs::absolute(options.out).string();
    return true;
}
