// Levels: text maps of tile characters compiled to binary maps, and binary maps back to text.
#include "formats/level_text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "formats/bytes.h"

namespace formats {
namespace {

constexpr std::array<std::string_view, kTileChars.size()> kTileNames = {
    "brick",
    "ground",
    "block",
    "empty (sky)",
    "walking enemy",
    "shell enemy",
    "coin brick",
    "question block",
    "question block with the growth item",
    "hidden block",
    "pipe body, left",
    "pipe body, right",
    "pipe top, left",
    "pipe top, right",
    "pipe entrance (the level's exit)",
};

int tile_code(char c)
{
    const std::size_t at = kTileChars.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// Checks one map row against the rows before it; `width` is the first row's, or -1 before it.
std::optional<SourceError> check_row(const Line& line, int rows_so_far, int width, int first_row_line)
{
    if (rows_so_far == kMaxLevelRows)
        return SourceError{line.number, 1, "the map has more than 1000 rows"};
    const auto length = static_cast<std::int64_t>(line.text.size());
    if (length > kMaxLevelColumns)
        return SourceError{line.number, kMaxLevelColumns + 1, "the row is wider than 100000 columns"};
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        if (tile_code(line.text[i]) < 0)
            return SourceError{line.number, static_cast<int>(i) + 1,
                               "unknown tile character " + describe_char(line.text[i])};
    }
    if (width < 0 && length == 0)
        return SourceError{line.number, 1, "empty map: the first row has no tiles"};
    if (width >= 0 && length == 0)
        return SourceError{line.number, 1,
                           "empty line in the map: every row has " + std::to_string(width) +
                               " tiles, like the first row (line " + std::to_string(first_row_line) + ")"};
    if (width >= 0 && length != width)
        return SourceError{line.number, 1,
                           "row has " + std::to_string(length) + " tiles, the first row (line " +
                               std::to_string(first_row_line) + ") has " + std::to_string(width)};
    if (static_cast<std::int64_t>(rows_so_far + 1) * length > kMaxLevelCells)
        return SourceError{line.number, 1, "the map has more than 10000000 cells"};
    return std::nullopt;
}

std::vector<std::uint8_t> encode_map(const std::vector<std::string_view>& rows)
{
    const auto width = static_cast<std::int32_t>(rows.front().size());
    std::vector<std::uint8_t> out;
    out.reserve(8 + 4 * rows.size() * static_cast<std::size_t>(width));
    put_i32(out, width);
    put_i32(out, static_cast<std::int32_t>(rows.size()));
    for (const std::string_view row : rows) {
        for (const char c : row)
            put_i32(out, tile_code(c));
    }
    return out;
}

Decompiled decompile_error(std::string message)
{
    return {{}, std::move(message)};
}

// Where a fresh small hero stands (32 x 40 pixels at world x 67, y 503), in map cells. Map row r lies
// at world y = 32r - 32.
constexpr int kCell = 32;
constexpr int kHeroX = 67;
constexpr int kHeroY = 503;
constexpr int kHeroWidth = 32;
constexpr int kHeroHeight = 40;
constexpr int kHeroFirstColumn = kHeroX / kCell;
constexpr int kHeroLastColumn = (kHeroX + kHeroWidth - 1) / kCell;
constexpr int kHeroTopRow = (kHeroY + kCell) / kCell;
constexpr int kHeroBottomRow = (kHeroY + kHeroHeight - 1 + kCell) / kCell;
constexpr int kHeroFeetRow = kHeroBottomRow + 1;
static_assert(kHeroFirstColumn == 2 && kHeroLastColumn == 3 && kHeroTopRow == 16 && kHeroFeetRow == 18);

// A shell walker is drawn and collides 26 pixels above its cell, so it also takes the cell above.
constexpr int kShellWalkerRise = 26;

// The map rows as read, with the source line of each.
struct Map {
    std::vector<std::string_view> rows;
    std::vector<int> lines;

    int width() const { return static_cast<int>(rows.front().size()); }
    char at(int column, int row) const
    {
        return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    int line(int row) const { return lines[static_cast<std::size_t>(row)]; }
};

// Cells that stay solid once the level starts: enemies, hidden blocks and the pipe entrance become
// objects and leave free space behind.
bool is_solid(char c)
{
    return c != '.' && c != 'w' && c != 's' && c != 'H' && c != kPipeEntrance;
}

std::optional<SourceError> check_start(const Map& map)
{
    if (map.width() <= kHeroLastColumn)
        return SourceError{map.line(0), 1,
                           "the map is " + std::to_string(map.width()) +
                               " columns wide; the hero starts in columns 3 and 4"};
    for (int row = kHeroTopRow; row <= kHeroBottomRow; ++row) {
        for (int column = kHeroFirstColumn; column <= kHeroLastColumn; ++column) {
            if (map.at(column, row) != '.')
                return SourceError{map.line(row), column + 1,
                                   "the hero starts here: columns 3 and 4 of map rows 17 and 18 must be "
                                   "empty '.', not " + describe_char(map.at(column, row))};
        }
    }
    for (int column = kHeroFirstColumn; column <= kHeroLastColumn; ++column) {
        if (is_solid(map.at(column, kHeroFeetRow)))
            return std::nullopt;
    }
    return SourceError{map.line(kHeroFeetRow), kHeroFirstColumn + 1,
                       "no ground under the hero's start: column 3 or 4 of map row 19 must be solid "
                       "(anything but '.', 'w', 's', 'H' and 'v')"};
}

// The game puts the exit trigger at the bottom-right corner of a 'v' cell, so the pipe's top must lie
// right there: '{' under the 'v' and '}' beside it, both within the rows the game plays on.
std::optional<SourceError> check_exits(const Map& map, int end)
{
    bool has_exit = false;
    for (int row = 0; row < static_cast<int>(map.rows.size()); ++row) {
        for (int column = 0; column < map.width(); ++column) {
            if (map.at(column, row) != kPipeEntrance)
                continue;
            if (row >= kMinLevelRows)
                return SourceError{map.line(row), column + 1,
                                   "pipe entrance below the 20 rows the game plays on: it is never reached"};
            const bool has_top = row + 1 < kMinLevelRows && column + 1 < map.width() &&
                                 map.at(column, row + 1) == '{' && map.at(column + 1, row + 1) == '}';
            if (!has_top)
                return SourceError{map.line(row), column + 1,
                                   "pipe entrance needs the pipe's top below it: '{' under it and '}' to "
                                   "the right of that"};
            has_exit = true;
        }
    }
    if (!has_exit)
        return SourceError{end, 1, "no pipe entrance: the level has no exit"};
    return std::nullopt;
}

// Enemies the level starts inside walls; the game lets them be, so this is only a warning.
std::vector<SourceWarning> enemy_warnings(const Map& map)
{
    constexpr int kRowsAbove = (kShellWalkerRise + kCell - 1) / kCell;
    std::vector<SourceWarning> warnings;
    const int rows = std::min(static_cast<int>(map.rows.size()), kMinLevelRows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < map.width(); ++column) {
            if (map.at(column, row) != 's')
                continue;
            for (int above = row - kRowsAbove; above < row; ++above) {
                if (above >= 0 && is_solid(map.at(column, above))) {
                    warnings.push_back({map.line(row), column + 1,
                                        "shell walker inside solid cells (" +
                                            describe_char(map.at(column, above)) + " above it)"});
                    break;
                }
            }
        }
    }
    return warnings;
}

}  // namespace

std::string level_legend()
{
    std::string text =
        "# A brickrun level: one character per tile, one line per map row, the top row first.\n"
        "# Row 1 lies above the screen; the game plays on the first 20 rows, and any rows after them\n"
        "# are sky below the screen. Every row has the same length.\n"
        "# Legend (character, tile code, tile):\n";
    for (std::size_t code = 0; code < kTileChars.size(); ++code) {
        text += "#   ";
        text += kTileChars[code];
        text += code < 10 ? "   " : "  ";
        text += std::to_string(code) + "  ";
        text += kTileNames[code];
        text += '\n';
    }
    return text;
}

Compiled compile_level(std::string_view source)
{
    const auto lines = split_lines(source);
    Map map;
    for (const Line& line : lines) {
        if (is_comment(line.text))
            continue;
        const int width = map.rows.empty() ? -1 : map.width();
        const int first_row_line = map.rows.empty() ? 0 : map.line(0);
        if (auto error = check_row(line, static_cast<int>(map.rows.size()), width, first_row_line))
            return compile_error(error->line, error->column, std::move(error->message));
        map.rows.push_back(line.text);
        map.lines.push_back(line.number);
    }
    if (map.rows.empty())
        return compile_error(end_line(lines), 1, "empty map: no rows");
    if (map.rows.size() < kMinLevelRows)
        return compile_error(end_line(lines), 1,
                             "the map has " + std::to_string(map.rows.size()) +
                                 " rows, a level needs at least 20");
    if (auto error = check_start(map))
        return compile_error(error->line, error->column, std::move(error->message));
    if (auto error = check_exits(map, end_line(lines)))
        return compile_error(error->line, error->column, std::move(error->message));
    Compiled result;
    result.bytes = encode_map(map.rows);
    result.placed_warnings = enemy_warnings(map);
    for (const SourceWarning& warning : result.placed_warnings)
        result.warnings.push_back("line " + std::to_string(warning.line) + ", column " +
                                  std::to_string(warning.column) + ": " + warning.message);
    return result;
}

Decompiled decompile_level(std::span<const std::uint8_t> map)
{
    if (map.size() < 8)
        return decompile_error("file is " + std::to_string(map.size()) +
                               " bytes, too short for the map's width and height (8 bytes)");
    const std::int32_t width = get_i32(map, 0);
    const std::int32_t height = get_i32(map, 4);
    if (width < 1 || width > kMaxLevelColumns)
        return decompile_error("map width " + std::to_string(width) + " is not from 1 to 100000");
    if (height < 1 || height > kMaxLevelRows)
        return decompile_error("map height " + std::to_string(height) + " is not from 1 to 1000");
    const std::int64_t cells = static_cast<std::int64_t>(width) * height;
    if (cells > kMaxLevelCells)
        return decompile_error("map of " + std::to_string(width) + "x" + std::to_string(height) + " = " +
                               std::to_string(cells) + " cells is over the limit of 10000000");
    const auto held = static_cast<std::int64_t>((map.size() - 8) / 4);
    if (held < cells)
        return decompile_error("file holds " + std::to_string(held) + " cells but its sizes say " +
                               std::to_string(cells));

    Decompiled result{level_legend(), std::nullopt};
    result.text.reserve(result.text.size() + static_cast<std::size_t>(cells + height));
    std::size_t at = 8;
    for (std::int32_t row = 0; row < height; ++row) {
        for (std::int32_t column = 0; column < width; ++column, at += 4) {
            const std::int32_t code = get_i32(map, at);
            if (code < 0 || code >= static_cast<std::int32_t>(kTileChars.size()))
                return decompile_error("cell at column " + std::to_string(column) + ", row " +
                                       std::to_string(row) + " (counting from 0) holds code " +
                                       std::to_string(code) + ", which has no tile character");
            result.text += kTileChars[static_cast<std::size_t>(code)];
        }
        result.text += '\n';
    }
    return result;
}

}  // namespace formats
