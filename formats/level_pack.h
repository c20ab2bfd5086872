// Level packs: a folder of levels played in place of the three built-in ones. It holds text levels
// (`*.txt`, the level format) and compiled maps (`*.map`), and may hold a `pack.txt` saying which
// of them to play, in which order:
//
//   # My first pack
//   title: Rooftops
//   author: Ada
//   roofs.txt
//   cellar.map
//
// The `title:` and `author:` lines come before the first file name, each once; then one file name a
// line, a file in the folder itself. Blank lines and `#` comments go anywhere. Without a pack.txt,
// every `.txt` and `.map` file of the folder is a level, in name order (byte by byte, so
// "level10.txt" comes before "level2.txt": name them 01, 02, ... to be sure). A pack holds 1 to 99
// levels.
//
// The order itself is worked out from text and names alone, so it can be tested and fuzzed without a
// folder; `list_pack` reads the folder and hands its names and pack.txt to it.
#pragma once

#include "formats/text.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

inline constexpr int kMaxPackLevels = 99;
inline constexpr std::string_view kPackListName = "pack.txt";

// What a pack plays, in order, with its title and author ("" when not given).
struct PackList {
    std::string title;
    std::string author;
    std::vector<std::string> files;
};

// A pack.txt read, or the first error in it.
struct PackListRead {
    PackList list;
    std::optional<SourceError> error;
};

// Reads a pack.txt. Refuses a file name with a folder in it, one that is not a .txt or .map level,
// a second title or author, a title or author after the first file name, a list of no level and
// one of more than kMaxPackLevels.
PackListRead read_pack_list(std::string_view text);

// Whether a name in the folder is a level of a pack without a pack.txt: it ends in .txt or .map (in
// any case), is not pack.txt and is not hidden (starting with a dot).
bool is_level_file_name(std::string_view name);

// The pack in a folder, or why there is none. `source_error` is set for a mistake in pack.txt
// (its line and column), `error` for anything else (a folder with no levels, too many).
struct PackOrder {
    PackList list;
    std::optional<SourceError> source_error;
    std::optional<std::string> error;
};

// The order of a pack from the names of the files in its folder and its pack.txt, if it has one
// (the text of it). Every file pack.txt names must be among `names`.
PackOrder order_pack(std::vector<std::string> names, const std::optional<std::string>& pack_txt);

// The same from the folder itself: the names of its regular files, and its pack.txt read. A folder
// that cannot be listed, or a pack.txt that cannot be read, is an `error`.
PackOrder list_pack(const std::string& folder);

}  // namespace formats
