// The level editor as brickrun-headless runs it: a script paints, undoes, saves, plays the level
// from the pointer's cell and comes back, and the trace and the saved file show each step.
#include "editor/level_document.h"
#include "editor/session.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using scratch_files::run_program;
using scratch_files::scratch;
using scratch_files::slurp;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool has(const std::string& row, const std::string& field) {
    return row.find(field) != std::string::npos;
}

// Runs the editor on `level` under `script`; the trace's rows.
std::vector<std::string> edit(const std::string& level, const std::string& script, int presents) {
    const std::string script_file = scratch("script.txt").string();
    std::ofstream(script_file) << script;
    const std::string trace = scratch("trace.json").string();
    const auto result = run_program(BRICKRUN_HEADLESS,
                                    {"--data", BRICKRUN_DATA, "--edit", level, "--input",
                                     script_file, "--trace", trace, "--presents",
                                     std::to_string(presents)});
    EXPECT_EQ(result.status, 0) << result.err;
    return lines_of(slurp(trace));
}

}  // namespace

TEST(EditorRun, PaintsUndoesSavesPlaysFromThePointerAndComesBackAsItLeft) {
    const std::string original = slurp(std::string(BRICKRUN_SOURCE_DIR) + "/assets/maps/level1.txt");
    const std::string level = scratch("level.txt").string();
    std::ofstream(level, std::ios::binary) << original;
    const std::vector<std::string> rows = edit(level, R"(
1 @170,300 +MOUSE1
2 -MOUSE1
3 @202,300 +MOUSE1
4 -MOUSE1
5 +LCONTROL +Z
6 -Z +S
7 -S -LCONTROL +RIGHT
8 -RIGHT
9 @100,520 +T
10 -T
20 +ESCAPE
21 -ESCAPE
)",
                                               30);
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_TRUE(has(rows[0], "\"screen\":\"editor\"")) << rows[0];
    EXPECT_TRUE(has(rows[0], "\"undo_depth\":0,\"unsaved\":false")) << rows[0];
    EXPECT_TRUE(has(rows[2], "\"pointer_cell\":[5,10]")) << rows[2];
    // Each line of the script acts on the present after its own.
    EXPECT_TRUE(has(rows[4], "\"undo_depth\":2")) << rows[4];
    EXPECT_TRUE(has(rows[5], "\"undo_depth\":1,\"unsaved\":true")) << rows[5];
    EXPECT_TRUE(has(rows[6], "\"undo_depth\":1,\"unsaved\":false")) << rows[6];

    // The save changed the one character of the one brick the undo left.
    const std::string saved = slurp(level);
    ASSERT_EQ(saved.size(), original.size());
    std::vector<size_t> differ;
    for (size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i]) differ.push_back(i);
    ASSERT_EQ(differ.size(), 1u);
    EXPECT_EQ(saved[differ[0]], 'B');
    EXPECT_EQ(original[differ[0]], '.');

    // T acted on in the step of present 10: that very present is the game's, the hero standing in
    // the pointed cell (column 3 of the view, scrolled one column: world x 32 * 4 + 3, row 17).
    EXPECT_TRUE(has(rows[8], "\"screen\":\"editor\"")) << rows[8];
    EXPECT_TRUE(has(rows[8], "\"view_column\":1")) << rows[8];
    ASSERT_TRUE(has(rows[9], "\"screen\":\"game\"")) << rows[9];
    EXPECT_TRUE(has(rows[9], "\"hero\":{\"x\":99,\"vx\":0,\"y\":503,")) << rows[9];
    EXPECT_TRUE(has(rows[9], "\"scroll\":32")) << rows[9];
    // Escape in play, and the editor is back as it was left.
    int back = 0;
    for (int i = 10; i < 30 && back == 0; ++i)
        if (has(rows[static_cast<size_t>(i)], "\"screen\":\"editor\"")) back = i;
    ASSERT_GT(back, 20);
    EXPECT_TRUE(has(rows[static_cast<size_t>(back)],
                    "\"view_column\":1,\"pointer_cell\":[4,17],\"selected\":\"B\",\"undo_depth\":1,"
                    "\"unsaved\":false,\"zoomed\":false"))
        << rows[static_cast<size_t>(back)];
    EXPECT_EQ(slurp(level), saved) << "test-play changed the level";
}

TEST(EditorRun, LosingTheLifeInTestPlayComesBackToTheEditor) {
    // A new level, with a pit cleared under the hero's start: the hero falls out of the level.
    const std::string level = scratch("pit.txt").string();
    const std::vector<std::string> rows = edit(level, R"(
1 @80,560 +LSHIFT +MOUSE2
2 @112,590
3 -MOUSE2 -LSHIFT
4 @80,520 +T
5 -T
)",
                                               400);
    size_t game = 0, back = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!game && has(rows[i], "\"screen\":\"game\"")) game = i;
        if (game && !back && has(rows[i], "\"screen\":\"editor\"")) back = i;
    }
    ASSERT_EQ(game, 4u);
    ASSERT_GT(back, game) << "never came back";
    EXPECT_TRUE(has(rows[back], "\"unsaved\":true,\"zoomed\":false")) << rows[back];
    EXPECT_TRUE(has(rows[back], "\"undo_depth\":1")) << rows[back];
    EXPECT_FALSE(std::filesystem::exists(level)) << "nothing saved unasked";
}

// P proves the level with the brickrun-solve built beside brickrun-headless, which waits for it
// (within its deadline) at the next present, so the same script shows the same proof at the same
// present every run.
TEST(EditorRun, PProvesTheLevelAndTheNextEditDropsTheWay) {
    // The solver's folder goes inside the test's own.
    ASSERT_EQ(setenv("TMPDIR", scratch_files::test_folder().c_str(), 1), 0);
    const std::string level = scratch("fresh.txt").string();
    const std::string script = "2 @300,300 +P\n3 -P\n6 +MOUSE1\n7 -MOUSE1\n";
    const std::vector<std::string> rows = edit(level, script, 9);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_TRUE(has(rows[1], "\"proof\":\"idle\",\"path\":0}")) << rows[1];
    EXPECT_TRUE(has(rows[2], "\"status\":\"Proving... 0 s (P or Escape stops)\"")) << rows[2];
    EXPECT_TRUE(has(rows[2], "\"proof\":\"running\",\"path\":0}")) << rows[2];
    EXPECT_TRUE(has(rows[3], "\"status\":\"Proved: ")) << rows[3];
    EXPECT_TRUE(has(rows[3], "\"proof\":\"proved\",\"path\":")) << rows[3];
    EXPECT_FALSE(has(rows[3], "\"path\":0}")) << rows[3];
    EXPECT_TRUE(has(rows[7], "\"proof\":\"idle\",\"path\":0}")) << rows[7];
    // The run ended on unsaved changes, which went to a recovery file: the same again on another.
    EXPECT_EQ(edit(scratch("again.txt").string(), script, 9), rows)
        << "the proof came at another present";

    // A wall too high to jump, ten columns before the exit: how far the hero got.
    std::string text = editor::LevelDocument::fresh().text();
    size_t at = text.size();
    for (int row = 17; row >= 3; --row) {
        at = text.rfind('\n', at - 1);
        text[text.rfind('\n', at - 1) + 1 + 20] = 'X';
    }
    const std::string walled = scratch("walled.txt").string();
    std::ofstream(walled, std::ios::binary) << text;
    const std::vector<std::string> blocked = edit(walled, "2 +P\n3 -P\n", 5);
    ASSERT_EQ(blocked.size(), 5u);
    EXPECT_TRUE(has(blocked[3], "\"status\":\"No clear found: got as far as column 20\"")) << blocked[3];
    EXPECT_TRUE(has(blocked[3], "\"proof\":\"none\"")) << blocked[3];
    EXPECT_FALSE(has(blocked[3], "\"path\":0}")) << blocked[3];

    for (const auto& entry : std::filesystem::directory_iterator(scratch_files::test_folder()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("brickrun-proof-")) << entry.path();
    unsetenv("TMPDIR");
}

TEST(EditorRun, ANewLevelGoesToThePlayersLevelsFolderUnderTheFirstFreeName) {
    const auto folder = scratch("data");
    ASSERT_EQ(setenv("XDG_DATA_HOME", folder.c_str(), 1), 0);
    const auto levels = folder / "brickrun" / "levels";
    EXPECT_EQ(editor::new_level_path(), (levels / "level-1.txt").string());
    std::filesystem::create_directories(levels);
    std::ofstream(levels / "level-1.txt") << "x";
    EXPECT_EQ(editor::new_level_path(), (levels / "level-2.txt").string());
    unsetenv("XDG_DATA_HOME");
}
