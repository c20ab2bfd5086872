// Levels: one character per tile, one text line per map row, compiled to the game's binary map
// (int32 width, int32 height, then width x height int32 tile codes row by row, all little-endian).
// `decompile_level` turns any binary map back into the text form, so maps can be read and diffed.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/text.h"

namespace formats {

// The tile character for each tile code, code 0 first: brick, ground, block, empty, walking enemy,
// shell enemy, coin brick, question block, growth-item block, hidden block, pipe body left and right,
// pipe top left and right, pipe entrance.
inline constexpr std::string_view kTileChars = "B=X.wsC?GH[]{}v";
inline constexpr char kPipeEntrance = 'v';

inline constexpr int kMinLevelRows = 20;  // the rows the game plays on; more are drawn as sky below
inline constexpr int kMaxLevelRows = 1000;
inline constexpr int kMaxLevelColumns = 100000;
inline constexpr std::int64_t kMaxLevelCells = 10'000'000;

// The binary map, or the first error. Besides the text itself it checks what makes a level playable:
// free cells and ground at the hero's start, and at least one pipe entrance sitting on a pipe's top.
// A shell walker starting inside solid cells is a warning.
Compiled compile_level(std::string_view source);

struct Decompiled {
    std::string text;                  // the legend as comments, then one line per map row
    std::optional<std::string> error;  // what is wrong with the binary map
};

Decompiled decompile_level(std::span<const std::uint8_t> map);

// The comment block at the top of every level file.
std::string level_legend();

}  // namespace formats
