// The level compiler and decompiler, level previews, and the asset tool's commands on levels.
#include "tests/support/scratch.h"
#include "tests/tools/asset_checks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "formats/level_text.h"
#include "tools/assets/picture.h"
#include "tools/assets/preview.h"

namespace {

using asset_checks::fails_at;
using asset_checks::int_at;
using assets::Compiled;

void append_i32(std::vector<std::uint8_t>& bytes, std::int32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
}

std::vector<std::uint8_t> map_bytes(std::int32_t width, std::int32_t height, const std::vector<std::int32_t>& cells)
{
    std::vector<std::uint8_t> bytes;
    append_i32(bytes, width);
    append_i32(bytes, height);
    for (const std::int32_t cell : cells)
        append_i32(bytes, cell);
    return bytes;
}

std::string level_rows(int count, const std::string& row = "....")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += row + "\n";
    return text;
}

// A small level the game can play: the hero's start clear and on ground, the exit on a pipe's top.
std::vector<std::string> playable_rows()
{
    std::vector<std::string> rows(15, "........");
    rows.insert(rows.end(), {".....v..", ".....{}.", ".....[].", "========", "========"});
    return rows;
}

// The rows as a level file under one comment line, so map row r is on line r + 2.
std::string level_text(const std::vector<std::string>& rows)
{
    std::string text = "# test level\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

// A playable level with one cell changed.
std::string level_with(int column, int row, char tile)
{
    auto rows = playable_rows();
    rows.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = tile;
    return level_text(rows);
}

// Every tile character once in the first row, which also holds the exit.
std::string every_tile_rows()
{
    return "B=X.wsC?GH[]{}v.\n..............{}\n" + level_rows(16, "................") +
           level_rows(2, "================");
}

// ---- levels ---------------------------------------------------------------------------------------

TEST(Level, WritesSizesThenTileCodesRowByRow)
{
    const std::string text = "# legend\n#\n" + every_tile_rows();
    const Compiled result = assets::compile_level(text);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_TRUE(result.warnings.empty());
    ASSERT_EQ(result.bytes.size(), 8u + 4u * 16 * 20);
    EXPECT_EQ(int_at(result.bytes, 0), 16);
    EXPECT_EQ(int_at(result.bytes, 4), 20);
    for (int code = 0; code < 15; ++code)
        EXPECT_EQ(int_at(result.bytes, 8 + 4 * static_cast<std::size_t>(code)), code) << "column " << code;
    EXPECT_EQ(int_at(result.bytes, 8 + 4 * 16), 3);             // row 1, column 0: empty
    EXPECT_EQ(int_at(result.bytes, 8 + 4 * (20 * 16 - 1)), 1);  // last cell: ground

    // Windows line ends compile to the same map.
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(assets::compile_level(crlf).bytes, result.bytes);
}

TEST(Level, RejectsBadMapsAtTheirLineAndColumn)
{
    // Comment lines count towards the line number.
    EXPECT_TRUE(fails_at(assets::compile_level("# legend\n....\n..q.\n" + level_rows(18, "....")), 3, 3));
    EXPECT_TRUE(fails_at(assets::compile_level("....\n....\n.... \n" + level_rows(17, "....")), 3, 5));
    // The first row that differs from the first row's length is the one blamed.
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(5) + "...\n" + level_rows(14) + "..\n"), 6, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(5) + "\n" + level_rows(15)), 6, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(20) + "\n"), 21, 1));

    auto rows = playable_rows();
    EXPECT_FALSE(assets::compile_level(level_text(rows)).error);
    rows.push_back("........");
    const Compiled taller = assets::compile_level(level_text(rows));
    ASSERT_FALSE(taller.error);
    EXPECT_EQ(int_at(taller.bytes, 4), 21);
    rows.resize(19);
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 20, 1));

    EXPECT_TRUE(assets::compile_level("").error);
    EXPECT_TRUE(assets::compile_level("# only comments\n# here\n").error);
    EXPECT_TRUE(fails_at(assets::compile_level("\n" + level_rows(20)), 1, 1));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(1001)), 1001, 1));
    EXPECT_TRUE(
        fails_at(assets::compile_level(level_rows(1, std::string(100001, '.'))), 1, 100001));
    EXPECT_TRUE(fails_at(assets::compile_level(level_rows(101, std::string(100000, '.'))), 101, 1));
}

TEST(Level, HeroStartsInFreeCellsOnGround)
{
    // Anything in the four cells the hero covers (columns 2-3, rows 16-17) is blamed at that cell.
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(2, 16, 'X')), 18, 3));
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(3, 17, 'w')), 19, 4));
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(3, 16, 'H')), 18, 4));
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(2, 17, '=')), 19, 3));
    // Just outside them is fine.
    EXPECT_FALSE(assets::compile_level(level_with(4, 17, 'X')).error);
    EXPECT_FALSE(assets::compile_level(level_with(1, 16, 'X')).error);
    EXPECT_FALSE(assets::compile_level(level_with(2, 15, 'X')).error);

    // Row 18 holds the ground under the feet; one solid cell of the two is enough.
    auto rows = playable_rows();
    rows[18] = "..==.===";
    EXPECT_FALSE(assets::compile_level(level_text(rows)).error);
    rows[18] = "=..=====";
    EXPECT_FALSE(assets::compile_level(level_text(rows)).error);
    rows[18] = "===B====";
    EXPECT_FALSE(assets::compile_level(level_text(rows)).error);
    // Cells that turn into objects or free space at the start hold nobody up, nor does row 19 below.
    for (const std::string feet : {"..", "H.", ".w", "s.", "v."}) {
        rows[18] = "==" + feet + "====";
        EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 20, 3)) << feet;
    }

    std::vector<std::string> narrow(18, "...");
    narrow.insert(narrow.end(), {"===", "==="});
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(narrow)), 2, 1));
}

TEST(Level, ExitIsAPipeEntranceOnThePipesTop)
{
    // No 'v' at all: blamed on the last line, where the missing exit would have been expected.
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(5, 15, '.') + "# end\n"), 22, 1));

    // The 'v' sits at (5, 15) on line 17, with '{' '}' at columns 5 and 6 of the row below.
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(5, 16, '[')), 17, 6));
    EXPECT_TRUE(fails_at(assets::compile_level(level_with(6, 16, '.')), 17, 6));
    auto rows = playable_rows();
    rows[16] = ".....}{.";
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 17, 6));
    rows[16] = "....{}..";
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 17, 6));
    rows[16] = "........";
    rows[17] = ".....{}.";  // the pipe's top a row too low
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 17, 6));

    // At the right edge there is no room for the '}'.
    rows = playable_rows();
    rows[15] = ".......v";
    rows[16] = ".......{";
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 17, 8));
    // Each entrance is checked, not only the first.
    rows = playable_rows();
    rows[3] = "..v.....";
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 5, 3));
    // The game never sees an entrance on row 19 with its top below the playing rows, or below them.
    rows = playable_rows();
    rows[19] = "......v.";
    rows.push_back("......{}");
    EXPECT_TRUE(fails_at(assets::compile_level(level_text(rows)), 21, 7));
    rows[19] = "========";
    rows[20] = "......v.";
    const Compiled below = assets::compile_level(level_text(rows));
    EXPECT_TRUE(fails_at(below, 22, 7));
    EXPECT_NE(below.error->message.find("below the 20 rows"), std::string::npos) << below.error->message;
}

TEST(Level, WarnsAboutShellWalkersStartingInsideWalls)
{
    // A shell walker stands 26 pixels above its cell, so the cell above it counts.
    auto rows = playable_rows();
    rows[17] = ".s...[]s";
    rows[16] = ".X...{}.";
    rows[7] = "..s.s...";
    rows[6] = "..=.H...";  // a hidden block is not solid until it is found
    const Compiled result = assets::compile_level(level_text(rows));
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_FALSE(result.bytes.empty());
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_NE(result.warnings[0].find("line 9, column 3: shell walker inside solid cells"), std::string::npos)
        << result.warnings[0];
    EXPECT_NE(result.warnings[1].find("line 19, column 2: shell walker inside solid cells"),
              std::string::npos)
        << result.warnings[1];
    // An editor marks the same warnings at their cells, in the same words.
    ASSERT_EQ(result.placed_warnings.size(), 2u);
    EXPECT_EQ(result.placed_warnings[1].line, 19);
    EXPECT_EQ(result.placed_warnings[1].column, 2);
    EXPECT_EQ("line 19, column 2: " + result.placed_warnings[1].message, result.warnings[1]);

    // A walker fills only its own cell; walls beside or below an enemy are no concern.
    rows = playable_rows();
    rows[10] = "X.Xws...";
    rows[9] = "...X....";
    rows[11] = "....X...";
    EXPECT_TRUE(assets::compile_level(level_text(rows)).warnings.empty());
}

TEST(Level, ShippedLevelsArePlayable)
{
    for (const char* name : {"level1", "level2", "level3"}) {
        const std::string path = std::string(BRICKRUN_ASSETS) + "/maps/" + name + ".txt";
        std::ifstream file(path, std::ios::binary);
        ASSERT_TRUE(file) << path;
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const Compiled result = assets::compile_level(text);
        EXPECT_FALSE(result.error) << path << ':' << result.error->line << ':' << result.error->column << ": "
                                   << result.error->message;
    }
}

TEST(Level, UnlevelGivesBackTheSameRows)
{
    const std::string rows = every_tile_rows();
    const Compiled map = assets::compile_level("# my level\n" + rows);
    ASSERT_FALSE(map.error);

    const assets::Decompiled text = assets::decompile_level(map.bytes);
    ASSERT_FALSE(text.error) << *text.error;
    std::string without_comments;
    for (const auto& line : assets::split_lines(text.text)) {
        if (!assets::is_comment(line.text))
            without_comments += std::string(line.text) + "\n";
    }
    EXPECT_EQ(without_comments, rows);
    EXPECT_EQ(assets::compile_level(text.text).bytes, map.bytes);
}

TEST(Level, UnlevelRejectsTruncatedAndAbsurdMaps)
{
    EXPECT_TRUE(assets::decompile_level({}).error);
    EXPECT_TRUE(assets::decompile_level(std::vector<std::uint8_t>{20, 0, 0, 0, 20, 0, 0}).error);

    const std::vector<std::int32_t> short_cells(1200, 3);
    const assets::Decompiled truncated = assets::decompile_level(map_bytes(100, 20, short_cells));
    ASSERT_TRUE(truncated.error);
    EXPECT_EQ(*truncated.error, "file holds 1200 cells but its sizes say 2000");
    // A stray byte short of a whole cell does not count as one.
    std::vector<std::uint8_t> almost = map_bytes(2, 2, {3, 3, 3});
    almost.insert(almost.end(), {3, 0, 0});
    EXPECT_TRUE(assets::decompile_level(almost).error);

    for (const auto& [width, height] : std::vector<std::pair<std::int32_t, std::int32_t>>{
             {0, 20}, {20, 0}, {-1, 20}, {20, -20}, {100001, 20}, {20, 1001}, {100000, 1000},
             {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}}) {
        const assets::Decompiled result = assets::decompile_level(map_bytes(width, height, {3, 3, 3, 3}));
        EXPECT_TRUE(result.error) << width << "x" << height;
    }

    const assets::Decompiled bad_code = assets::decompile_level(map_bytes(3, 2, {3, 3, 3, 3, 15, 3}));
    ASSERT_TRUE(bad_code.error);
    EXPECT_NE(bad_code.error->find("column 1, row 1"), std::string::npos) << *bad_code.error;
    EXPECT_NE(bad_code.error->find("15"), std::string::npos) << *bad_code.error;
    EXPECT_TRUE(assets::decompile_level(map_bytes(1, 1, {-1})).error);

    // The game ignores anything after the cells, and so does unlevel.
    std::vector<std::uint8_t> longer = map_bytes(1, 1, {14});
    longer.push_back(0xAB);
    const assets::Decompiled tail = assets::decompile_level(longer);
    ASSERT_FALSE(tail.error);
    EXPECT_TRUE(tail.text.ends_with("\nv\n"));
}

// ---- level previews -------------------------------------------------------------------------------

std::string read_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A picture from assets/graphics as compiled, read straight from the BMP's bottom-up rows.
struct Bitmap {
    std::vector<std::uint8_t> bytes;
    int width() const { return int_at(bytes, 18); }
    int height() const { return int_at(bytes, 22); }
    std::uint32_t at(int x, int y) const
    {
        const std::size_t stride = (3 * static_cast<std::size_t>(width()) + 3) & ~std::size_t{3};
        const std::size_t i =
            54 + stride * static_cast<std::size_t>(height() - 1 - y) + 3 * static_cast<std::size_t>(x);
        return 0xFF000000u | bytes.at(i + 2) << 16 | bytes.at(i + 1) << 8 | bytes.at(i);
    }
};

Bitmap game_picture(const std::string& name)
{
    const std::string path = std::string(BRICKRUN_ASSETS) + "/graphics/" + name + ".txt";
    const Compiled compiled = assets::compile_picture(read_text(path));
    EXPECT_FALSE(compiled.error) << name;
    return {compiled.bytes};
}

// Whether the picture shows `sprite` with its top left at (x, y), its `key` colour letting the sky
// through.
testing::AssertionResult shows(const assets::Image& picture, int x, int y, const Bitmap& sprite,
                               std::uint32_t key = 0)
{
    const Bitmap sky = game_picture("sky");
    for (int sy = 0; sy < sprite.height(); ++sy) {
        for (int sx = 0; sx < sprite.width(); ++sx) {
            const std::uint32_t own = sprite.at(sx, sy);
            const std::uint32_t want = own == key ? sky.at((x + sx) % 32, (y + sy) % 32) : own;
            if (picture.at(x + sx, y + sy) != want)
                return testing::AssertionFailure() << "pixel " << sx << "," << sy << " of the sprite differs";
        }
    }
    return testing::AssertionSuccess();
}

TEST(Preview, DrawsTheLevelAsItStarts)
{
    const std::filesystem::path folder = scratch_files::test_folder();
    std::filesystem::create_directories(folder / "maps");
    auto rows = playable_rows();
    rows[17] = "w....[]s";
    std::ofstream(folder / "maps/tiny.txt") << level_text(rows);

    assets::Image picture;
    const auto error = assets::draw_preview((folder / "maps/tiny.txt").string(),
                                            std::string(BRICKRUN_ASSETS) + "/graphics", picture);
    ASSERT_FALSE(error) << *error;
    ASSERT_EQ(picture.width, 8 * 32);
    ASSERT_EQ(picture.height, 20 * 32);
    // Map row r is drawn at y = 32r.
    EXPECT_TRUE(shows(picture, 0, 0, game_picture("sky")));
    EXPECT_TRUE(shows(picture, 32, 18 * 32, game_picture("ground")));
    EXPECT_TRUE(shows(picture, 5 * 32, 17 * 32, game_picture("pipe0")));
    EXPECT_TRUE(shows(picture, 6 * 32, 17 * 32, game_picture("pipe1")));
    EXPECT_TRUE(shows(picture, 0, 17 * 32, game_picture("plomb0"), 0xFFFFFFFF));
    EXPECT_TRUE(shows(picture, 7 * 32, 17 * 32 - 26, game_picture("zelvogreen0"), 0xFF000000));
    // The hero at its start (67, 503), one cell lower in the picture.
    EXPECT_TRUE(shows(picture, 67, 535, game_picture("pelko"), 0xFFFFFFFF));
    // The exit marker is centred on the trigger, the bottom-right corner of the 'v' cell at (5, 15).
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{188, 508}, {196, 512}, {192, 516}})
        EXPECT_EQ(picture.at(x, y), assets::kExitMarkerColour) << x << "," << y;
}

TEST(Preview, CommandWritesAPngOrFailsWithOneLine)
{
    const std::filesystem::path folder = scratch_files::test_folder();
    std::filesystem::create_directories(folder / "maps");
    std::ofstream(folder / "maps/tiny.txt") << level_text(playable_rows());
    const std::string level = (folder / "maps/tiny.txt").string();
    const std::string out = (folder / "out/tiny.png").string();

    // The default graphics folder is maps/../graphics, which is missing here.
    auto r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL, {"preview", level, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find((folder / "graphics").string()), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL,
                                   {"preview", level, out, std::string(BRICKRUN_ASSETS) + "/graphics"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(read_text(out).starts_with("\x89PNG\r\n"));
}

TEST(Level, CommandsRefuseBadFilesWithOneLineAndWriteNothing)
{
    const std::filesystem::path folder = scratch_files::test_folder();
    const std::string bad = (folder / "bad.txt").string(), cut = (folder / "cut.map").string();
    const std::string missing = (folder / "missing.txt").string(), out = (folder / "out").string();
    std::ofstream(bad) << level_with(2, 16, 'q');
    const std::vector<std::uint8_t> cut_bytes =
        map_bytes(100, 20, std::vector<std::int32_t>(1200, 3));
    std::ofstream(cut, std::ios::binary).write(reinterpret_cast<const char*>(cut_bytes.data()),
                                               static_cast<std::streamsize>(cut_bytes.size()));
    for (const auto& [command, in, says] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"level", bad, bad + ":18:3: unknown tile character 'q'\n"},
             {"level", missing, missing + ": cannot read: No such file or directory\n"},
             {"unlevel", cut, cut + ": file holds 1200 cells but its sizes say 2000\n"}}) {
        const auto r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL, {command, in, out});
        EXPECT_EQ(r.status, 1) << command << " " << in;
        EXPECT_EQ(r.err, says);
        EXPECT_FALSE(std::filesystem::exists(out)) << command << " " << in;
    }
}

}  // namespace
