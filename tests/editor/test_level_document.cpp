// The level document's reading and writing of a level's text: what it leaves alone and what one edit
// changes, and the compiler's problems placed on the map.
#include "editor/level_document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using editor::LevelDocument;
using editor::Problem;

std::string shipped(const std::string& name)
{
    std::ifstream in(std::string(BRICKRUN_ASSETS) + "/maps/" + name + ".txt", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The positions where two texts of one length differ.
std::vector<std::size_t> differences(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            at.push_back(i);
    }
    return at;
}

// A playable map of `width` columns (at least 8) in 20 rows, as the fresh level lays it out.
std::vector<std::string> playable_rows(int width = 8)
{
    std::vector<std::string> rows(20, std::string(static_cast<std::size_t>(width), '.'));
    rows[15][5] = 'v';
    rows[16].replace(5, 2, "{}");
    rows[17].replace(5, 2, "[]");
    rows[18] = rows[19] = std::string(static_cast<std::size_t>(width), '=');
    return rows;
}

std::string join(const std::vector<std::string>& rows, const std::string& end = "\n")
{
    std::string text;
    for (const std::string& row : rows)
        text += row + end;
    return text;
}

TEST(LevelDocumentText, AnUnchangedLevelGivesBackItsBytes)
{
    for (const char* name : {"level1", "level2", "level3"}) {
        const std::string text = shipped(name);
        ASSERT_FALSE(text.empty()) << name;
        const LevelDocument doc = LevelDocument::from_text(text);
        EXPECT_EQ(doc.text(), text) << name;
        EXPECT_EQ(doc.height(), 20) << name;
        EXPECT_TRUE(doc.problems().empty()) << name;
        EXPECT_FALSE(doc.unsaved());
    }
    const std::string rows = join(playable_rows());
    const std::string odd[] = {
        join(playable_rows(), "\r\n"),
        rows.substr(0, rows.size() - 1),  // no final line end
        "# head\n\n   \n" + rows + "\n# tail\n  # indented tail",
        "# a\r\n" + join(playable_rows(), "\r\n") + "# trailing comment without an end\r",
        "",
        "\n\n# nothing but comments\n",
        std::string("no\0map\0here", 11)
    };
    for (const std::string& text : odd)
        EXPECT_EQ(LevelDocument::from_text(text).text(), text);
}

TEST(LevelDocumentText, FindsTheMapRowsAmongCommentsAndBlankLines)
{
    std::vector<std::string> rows = playable_rows();
    std::string text = "# head\n\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        text += rows[i] + (i == 10 ? "\n   # between rows\n" : "\n");
    text += "\n# after\n\n";
    const LevelDocument doc = LevelDocument::from_text(text);
    ASSERT_EQ(doc.height(), 20);
    EXPECT_EQ(doc.width(), 8);
    EXPECT_EQ(doc.line_of_row(0), 3);
    EXPECT_EQ(doc.line_of_row(10), 13);
    EXPECT_EQ(doc.line_of_row(11), 15);  // past the comment between rows
    EXPECT_EQ(doc.at(5, 15), 'v');
    EXPECT_EQ(doc.at(5, 16), '{');
    EXPECT_EQ(doc.at(-1, 0), '.');
    EXPECT_EQ(doc.at(8, 19), '.');
    EXPECT_EQ(doc.at(0, 20), '.');

    // A blank line inside the map is a row, as the compiler sees it, and its problem is marked there.
    rows[4] = "";
    const LevelDocument gap = LevelDocument::from_text(join(rows));
    EXPECT_EQ(gap.height(), 20);
    const auto problems = gap.problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].row, 4);
    EXPECT_EQ(problems[0].col, 0);

    const LevelDocument none = LevelDocument::from_text("# only a legend\n");
    EXPECT_EQ(none.width(), 0);
    EXPECT_EQ(none.height(), 0);
}

TEST(LevelDocumentText, OneCellChangesExactlyOneCharacter)
{
    for (const std::string& original : {shipped("level1"), join(playable_rows(12), "\r\n")}) {
        LevelDocument doc = LevelDocument::from_text(original);
        doc.set(7, 12, 'B');
        const std::string changed = doc.text();
        ASSERT_EQ(changed.size(), original.size());
        const auto at = differences(original, changed);
        ASSERT_EQ(at.size(), 1u);
        EXPECT_EQ(changed[at[0]], 'B');
        // The character is column 8 of the row's line.
        const std::size_t line_start = changed.rfind('\n', at[0]) + 1;
        EXPECT_EQ(at[0] - line_start, 7u);
        EXPECT_EQ(std::count(changed.begin(), changed.begin() + static_cast<long>(line_start), '\n'),
                  doc.line_of_row(12) - 1);
        EXPECT_EQ(doc.at(7, 12), 'B');
    }
}

TEST(LevelDocumentText, WideningRunsTheGroundOnAndLeavesTheRestWhereItWas)
{
    const std::string original = shipped("level1");
    LevelDocument doc = LevelDocument::from_text(original);
    const int width = doc.width();
    doc.set_width(width + 30);
    EXPECT_EQ(doc.width(), width + 30);
    const LevelDocument before = LevelDocument::from_text(original);
    for (int row = 0; row < doc.height(); ++row) {
        for (int col = 0; col < width; ++col)
            ASSERT_EQ(doc.at(col, row), before.at(col, row)) << col << "," << row;
        const char more = row >= 18 ? '=' : '.';
        for (int col = width; col < width + 30; ++col)
            ASSERT_EQ(doc.at(col, row), more) << col << "," << row;
    }
    // Every line that is not a map row is as it was: the header and the trailer are untouched.
    const std::string text = doc.text();
    EXPECT_EQ(text.substr(0, static_cast<std::size_t>(before.view().find("\n.") + 1)),
              original.substr(0, static_cast<std::size_t>(before.view().find("\n.") + 1)));
    EXPECT_TRUE(doc.problems().empty());

    // Narrower cuts at the right end; the exit, now gone, is what the compiler names.
    doc.set_width(40);
    EXPECT_EQ(doc.width(), 40);
    const auto problems = doc.problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message, "no pipe entrance: the level has no exit");
    ASSERT_TRUE(doc.undo());
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.text(), original);

    // Rows of a ragged map all come out as wide as asked; a map stays within what the compiler takes.
    LevelDocument ragged = LevelDocument::from_text("..\n....=\n.\n");
    ragged.set_width(6);
    EXPECT_EQ(ragged.text(), "......\n....==\n......\n");
    ragged.set_width(0);
    EXPECT_EQ(ragged.width(), 1);
    ragged.set_width(1'000'000);
    EXPECT_EQ(ragged.width(), 100000);
}

TEST(LevelDocumentProblems, PlacesTheCompilersWordsAtCells)
{
    LevelDocument doc = LevelDocument::from_text("# a level\n" + join(playable_rows()));
    EXPECT_TRUE(doc.problems().empty());

    doc.set(3, 17, 'X');  // where the hero starts
    auto problems = doc.problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_FALSE(problems[0].warning);
    EXPECT_EQ(problems[0].col, 3);
    EXPECT_EQ(problems[0].row, 17);
    EXPECT_EQ(problems[0].line, 19);
    EXPECT_EQ(problems[0].column, 4);
    EXPECT_EQ(problems[0].message,
              "the hero starts here: columns 3 and 4 of map rows 17 and 18 must be empty '.', not 'X'");
    doc.undo();

    // A shell walker under a block is a warning, at the walker.
    doc.set(1, 9, 'X');
    doc.set(1, 10, 's');
    problems = doc.problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].warning);
    EXPECT_EQ(problems[0].col, 1);
    EXPECT_EQ(problems[0].row, 10);
    EXPECT_EQ(problems[0].message, "shell walker inside solid cells ('X' above it)");

    // A problem on no row keeps its line and names no cell.
    std::vector<std::string> rows = playable_rows();
    rows.erase(rows.begin());
    problems = LevelDocument::from_text(join(rows) + "# end\n").problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 20);
    EXPECT_EQ(problems[0].col, -1);
    EXPECT_EQ(problems[0].row, -1);
    // The compiler takes a blank line before the map for an empty first row; to the editor it is
    // part of the header, so the problem stays on its line.
    problems = LevelDocument::from_text("# head\n\n" + join(playable_rows())).problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_EQ(problems[0].message, "empty map: the first row has no tiles");
    EXPECT_EQ(problems[0].row, -1);
}

TEST(LevelDocumentProblems, AFreshLevelIsPlayable)
{
    const LevelDocument doc = LevelDocument::fresh();
    EXPECT_EQ(doc.width(), 40);
    EXPECT_EQ(doc.height(), 20);
    EXPECT_TRUE(doc.problems().empty());
    EXPECT_EQ(doc.at(35, 15), 'v');
    EXPECT_EQ(doc.at(0, 18), '=');
    EXPECT_EQ(doc.text().rfind("# Legend", 0), std::string::npos);
    EXPECT_EQ(doc.text().rfind("# A brickrun level", 0), 0u);
    EXPECT_FALSE(doc.unsaved());
}

}  // namespace
