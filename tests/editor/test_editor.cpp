// The level editor's rules, pass by pass, against a level document: what the pointer and the keys
// do to the level and the view.
#include "editor/editor.h"
#include "editor/keys.h"
#include "formats/level_text.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace editor;

namespace {

std::string shipped_level(const std::string& name) {
    return scratch_files::slurp(std::string(BRICKRUN_SOURCE_DIR) + "/assets/maps/" + name);
}

// Drives an editor one pass at a time, as the program does: what is held now, and what was held at
// the pass before.
class Driver {
public:
    explicit Driver(LevelDocument document, std::string path = "")
        : editor(std::move(document), std::move(path), now) {}

    // The centre of a cell as the game draws it at the start: column c at x = 32c, row r at
    // y = 32r - 32.
    void point_at(int col, int row) { point(32 * col + 16, 32 * row - 16); }
    void point(int x, int y) {
        input.x = x;
        input.y = y;
    }
    Request pass() {
        const Request request = editor.step(input, now);
        input.prev_keys = input.keys;
        input.prev_buttons = input.buttons;
        input.wheel = 0;
        now += 33;
        return request;
    }
    void button(int which, bool down) {
        input.buttons[static_cast<size_t>(which)] = down;
        pass();
    }
    void hold(int key, bool down) { input.keys[static_cast<size_t>(key)] = down ? 0x80 : 0; }
    // A key pressed and let go, with whatever else is held.
    Request tap(int key) {
        hold(key, true);
        const Request request = pass();
        hold(key, false);
        pass();
        return request;
    }
    Request ctrl(int key) {
        hold(key_lcontrol, true);
        const Request request = tap(key);
        hold(key_lcontrol, false);
        return request;
    }
    // Left or right button down at one cell, dragged through the others, let go at the last.
    void drag(int which, std::initializer_list<Cell> cells) {
        point_at(cells.begin()->col, cells.begin()->row);
        button(which, true);
        for (const Cell& cell : cells) {
            point_at(cell.col, cell.row);
            pass();
        }
        button(which, false);
    }

    uint32_t now = 5000;
    Input input;
    Editor editor;
};

char at(const Driver& d, int col, int row) { return d.editor.document().at(col, row); }

}  // namespace

TEST(EditorPointer, FindsTheCellsWhereTheGameDrawsThemAndNoneUnderTheBar) {
    Driver d(LevelDocument::from_text(shipped_level("level1.txt")));
    const View view = d.editor.view();
    // Every pixel of a cell maps to it: its first and last rows and columns.
    for (const Cell cell : {Cell{0, 3}, Cell{24, 18}, Cell{7, 10}}) {
        const int32_t x = 32 * cell.col, y = 32 * cell.row - 32;
        EXPECT_EQ(view.x_of(cell.col), x);
        EXPECT_EQ(view.y_of(cell.row), y);
        for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{31, 31}, std::pair{0, 31}})
            EXPECT_EQ(view.cell_at(x + dx, y + dy), cell) << cell.col << "," << cell.row;
    }
    // Row 19 shows its top 24 pixels at the picture's bottom; row 1 lies under the bar.
    EXPECT_EQ(view.cell_at(5, 599), (Cell{0, 19}));
    EXPECT_EQ(view.cell_at(5, bar_height - 1), std::nullopt);
    EXPECT_EQ(view.cell_at(-1, 300), std::nullopt);
    EXPECT_EQ(view.cell_at(800, 300), std::nullopt);

    d.point(32 * 3 + 1, 300);
    d.tap(key_right);
    EXPECT_EQ(d.editor.pointer_cell(), (Cell{4, 10})) << "scrolled a column, the pointer's cell follows";
}

TEST(EditorPointer, ZoomedOutShowsTheWholeLevelAndMapsThePointerOntoIt) {
    Driver d(LevelDocument::from_text(shipped_level("level3.txt")));
    d.tap(key_z);
    ASSERT_TRUE(d.editor.zoomed());
    const View view = d.editor.view();
    const int columns = d.editor.document().width(), rows = d.editor.document().height();
    EXPECT_GE(view.x_of(0), 0);
    EXPECT_LE(view.x_of(columns), picture_width);
    EXPECT_GE(view.y_of(0), bar_height);
    EXPECT_LE(view.y_of(rows), picture_height);
    EXPECT_EQ(view.cell_at(view.x_of(columns - 1), view.y_of(rows - 1)), (Cell{columns - 1, rows - 1}));
    EXPECT_EQ(view.cell_at(view.x_of(0), view.y_of(0)), (Cell{0, 0}));
    d.ctrl(key_z);
    EXPECT_TRUE(d.editor.zoomed()) << "Ctrl+Z undoes, it does not zoom";
    d.tap(key_z);
    EXPECT_FALSE(d.editor.zoomed());
    EXPECT_EQ(d.editor.view().cell_at(16, 300), (Cell{0, 10}));
}

TEST(EditorPaint, AStrokeIsOneUndoStepAndLeavesNoGapsWhenDraggedQuickly) {
    Driver d(LevelDocument::fresh());
    const std::string before = d.editor.document().text();
    d.drag(left_button, {{5, 8}, {6, 8}, {10, 8}, {10, 11}});
    for (int col = 5; col <= 10; ++col) EXPECT_EQ(at(d, col, 8), 'B') << col;
    for (int row = 9; row <= 11; ++row) EXPECT_EQ(at(d, 10, row), 'B') << row;
    EXPECT_EQ(d.editor.document().undo_depth(), 1);
    EXPECT_TRUE(d.editor.unsaved());
    d.ctrl(key_z);
    EXPECT_EQ(d.editor.document().text(), before);
    d.ctrl(key_y);
    EXPECT_EQ(at(d, 10, 11), 'B');
    EXPECT_EQ(d.editor.document().undo_depth(), 1);

    // A click let go after the pointer moved on between two reads paints its own cell only: the
    // button was up by the time the pointer got there.
    d.point_at(15, 3);
    d.button(left_button, true);
    d.point_at(22, 15);
    d.button(left_button, false);
    EXPECT_EQ(at(d, 15, 3), 'B');
    for (int col = 16; col <= 22; ++col)
        for (int row = 3; row <= 15; ++row) EXPECT_EQ(at(d, col, row), '.') << col << "," << row;
}

TEST(EditorPaint, TheRightButtonClearsAndThePaletteChoosesThePiece) {
    Driver d(LevelDocument::fresh());
    ASSERT_EQ(at(d, 0, 19), '=');
    d.drag(right_button, {{0, 19}, {2, 19}});
    for (int col = 0; col <= 2; ++col) EXPECT_EQ(at(d, col, 19), '.');
    EXPECT_EQ(d.editor.document().undo_depth(), 1);

    const int walker = static_cast<int>(formats::kTileChars.find('w'));
    d.point(palette_x + walker * palette_step + 5, palette_y + 5);
    d.button(left_button, true);
    d.button(left_button, false);
    EXPECT_EQ(d.editor.selected(), 'w');
    EXPECT_EQ(d.editor.document().undo_depth(), 1) << "a click on the palette paints nothing";
    d.tap(key_tab);
    EXPECT_EQ(d.editor.selected(), 's');
    d.hold(key_lshift, true);
    d.tap(key_tab);
    d.tap(key_tab);
    d.hold(key_lshift, false);
    EXPECT_EQ(d.editor.selected(), '.');
    d.tap(key_1);
    EXPECT_EQ(d.editor.selected(), 'B');
}

TEST(EditorPaint, ShiftDragFillsOrClearsARectangleInOneStep) {
    Driver d(LevelDocument::fresh());
    d.tap(key_1 + 2);  // the solid block
    d.hold(key_lshift, true);
    d.drag(left_button, {{12, 6}, {9, 9}});
    for (int col = 9; col <= 12; ++col)
        for (int row = 6; row <= 9; ++row) EXPECT_EQ(at(d, col, row), 'X') << col << "," << row;
    EXPECT_EQ(at(d, 8, 6), '.');
    EXPECT_EQ(at(d, 13, 9), '.');
    EXPECT_EQ(d.editor.document().undo_depth(), 1);
    d.drag(right_button, {{10, 7}, {11, 8}});
    d.hold(key_lshift, false);
    EXPECT_EQ(at(d, 10, 7), '.');
    EXPECT_EQ(at(d, 11, 8), '.');
    EXPECT_EQ(at(d, 9, 9), 'X');
    EXPECT_EQ(d.editor.document().undo_depth(), 2);
}

TEST(EditorView, ScrollingStopsWhereTheGamesCameraStops) {
    Driver d(LevelDocument::from_text(shipped_level("level1.txt")));
    const int last = d.editor.document().width() - visible_columns;
    d.tap(key_left);
    EXPECT_EQ(d.editor.view_column(), 0);
    d.tap(key_end);
    EXPECT_EQ(d.editor.view_column(), last);
    d.tap(key_right);
    EXPECT_EQ(d.editor.view_column(), last);
    d.input.wheel = 2;  // away from the player: back towards the start
    d.pass();
    EXPECT_EQ(d.editor.view_column(), last - 6);
    // The middle button drags the level with the pointer.
    d.point(400, 300);
    d.button(middle_button, true);
    d.point(400 + 5 * 32, 300);
    d.pass();
    EXPECT_EQ(d.editor.view_column(), last - 11);
    d.button(middle_button, false);
    d.tap(key_home);
    EXPECT_EQ(d.editor.view_column(), 0);

    Driver narrow(LevelDocument::from_text(".....\n....v\n"));
    narrow.tap(key_end);
    EXPECT_EQ(narrow.editor.view_column(), 0) << "a level narrower than the screen never scrolls";
}

TEST(EditorView, BracketsMakeTheLevelNarrowerOrWiderAtItsRightEnd) {
    Driver d(LevelDocument::fresh());
    const int width = d.editor.document().width();
    d.tap(key_rbracket);
    EXPECT_EQ(d.editor.document().width(), width + 1);
    d.hold(key_lshift, true);
    d.tap(key_lbracket);
    d.hold(key_lshift, false);
    EXPECT_EQ(d.editor.document().width(), width - 9);
    EXPECT_EQ(d.editor.document().undo_depth(), 2);
    d.ctrl(key_z);
    d.ctrl(key_z);
    EXPECT_EQ(d.editor.document().width(), width);
}

TEST(EditorFiles, SavesOnCtrlSAndAsksOnceBeforeLeavingUnsavedWork) {
    const std::string path = scratch_files::scratch("level.txt").string();
    Driver d(LevelDocument::fresh(), path);
    EXPECT_EQ(d.tap(key_escape), Request::leave) << "nothing unsaved: Escape leaves at once";

    d.drag(left_button, {{5, 5}});
    EXPECT_EQ(d.tap(key_escape), Request::none);
    EXPECT_EQ(d.editor.question(), Question::leave);
    EXPECT_NE(d.editor.status().find("Escape again to leave"), std::string::npos);
    d.ctrl(key_s);
    EXPECT_FALSE(d.editor.unsaved());
    EXPECT_EQ(d.editor.question(), Question::none);
    EXPECT_EQ(scratch_files::slurp(path), d.editor.document().text());

    d.drag(left_button, {{6, 5}});
    EXPECT_EQ(d.tap(key_escape), Request::none);
    EXPECT_EQ(d.tap(key_escape), Request::leave);
}

TEST(EditorFiles, UnsavedWorkReachesTheRecoveryFileAfterThirtySeconds) {
    const std::string path = scratch_files::scratch("level.txt").string();
    Driver d(LevelDocument::fresh(), path);
    d.ctrl(key_s);
    d.drag(left_button, {{5, 5}});
    const std::string recovery = recovery_path(path);
    while (d.now < 5000 + 29000) d.pass();
    EXPECT_FALSE(std::filesystem::exists(recovery)) << "written before its time";
    while (d.now < 5000 + 31000 + 33 * 10) d.pass();
    ASSERT_TRUE(std::filesystem::exists(recovery));
    std::string error;
    auto recovered = read_recovery(path, error);
    ASSERT_TRUE(recovered) << error;
    EXPECT_EQ(recovered->text(), d.editor.document().text());

    // Offered at the next opening, Y takes it and it counts as unsaved work.
    Driver again(*open_level(path, error), path);
    again.editor.offer_recovery();
    EXPECT_EQ(again.editor.question(), Question::restore);
    again.tap(key_y);
    EXPECT_EQ(again.editor.document().at(5, 5), 'B');
    EXPECT_TRUE(again.editor.unsaved());
}

TEST(EditorProblems, TheCompilersProblemsFollowTheEditsInItsOwnWords) {
    Driver d(LevelDocument::fresh());
    ASSERT_TRUE(d.editor.problems().empty()) << d.editor.status();
    d.drag(left_button, {{3, 17}});  // where the hero starts
    ASSERT_FALSE(d.editor.problems().empty());
    const Problem& problem = d.editor.problems().front();
    EXPECT_EQ(problem.col, 3);
    EXPECT_EQ(problem.row, 17);
    EXPECT_NE(d.editor.status().find(problem.message), std::string::npos) << d.editor.status();
    EXPECT_NE(problem.message.find("the hero starts here"), std::string::npos) << problem.message;
    d.ctrl(key_z);
    EXPECT_TRUE(d.editor.problems().empty());
}

TEST(EditorPlay, TAsksForTestPlayFromTheCellUnderThePointer) {
    Driver d(LevelDocument::fresh());
    d.point(400, 10);  // over the bar
    EXPECT_EQ(d.tap(key_test_play), Request::none);
    d.point_at(8, 17);
    EXPECT_EQ(d.tap(key_test_play), Request::test_play);
    EXPECT_EQ(d.editor.test_start(), (Cell{8, 17}));
}
