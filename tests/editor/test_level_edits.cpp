// Strokes, undo and redo, and the unsaved mark.
#include "editor/level_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using editor::LevelDocument;

std::string sky_rows(int rows, int width)
{
    std::string text;
    for (int i = 0; i < rows; ++i)
        text += std::string(static_cast<std::size_t>(width), '.') + "\n";
    return text;
}

TEST(LevelDocumentEdits, AStrokeIsOneStepAndUndoRedoGiveTheSameTexts)
{
    const std::string original = "# map\n" + sky_rows(20, 30);
    LevelDocument doc = LevelDocument::from_text(original);
    doc.begin_stroke();
    for (int col = 0; col < 30; ++col)
        doc.set(col, 5, 'B');
    doc.end_stroke();
    doc.set(0, 0, 'X');
    doc.fill(9, 12, 2, 10, '?');  // corners in any order
    const std::string painted = doc.text();
    EXPECT_EQ(doc.undo_depth(), 3);
    EXPECT_EQ(doc.at(2, 10), '?');
    EXPECT_EQ(doc.at(9, 12), '?');
    EXPECT_EQ(doc.at(10, 12), '.');

    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.at(5, 11), '.');
    EXPECT_EQ(doc.at(0, 0), 'X');
    ASSERT_TRUE(doc.undo());
    ASSERT_TRUE(doc.undo());
    EXPECT_FALSE(doc.undo());
    EXPECT_EQ(doc.text(), original);
    EXPECT_EQ(doc.redo_depth(), 3);
    while (doc.redo()) {
    }
    EXPECT_EQ(doc.text(), painted);

    // A new change after an undo drops what could have been redone.
    doc.undo();
    doc.undo();
    doc.set(1, 1, 'C');
    EXPECT_EQ(doc.redo_depth(), 0);
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(doc.undo_depth(), 2);
}

TEST(LevelDocumentEdits, AStrokeThatChangesNothingIsNoStep)
{
    LevelDocument doc = LevelDocument::from_text(sky_rows(20, 10));
    doc.set(3, 3, '.');
    doc.fill(0, 0, 9, 2, '.');
    doc.begin_stroke();
    doc.set(4, 4, 'B');
    doc.set(4, 4, 'X');
    doc.set(4, 4, '.');  // painted back as it was
    doc.end_stroke();
    doc.set(-1, 0, 'B');  // outside the map
    doc.set(0, 20, 'B');
    doc.set(0, 0, '#');  // no tile: it would make the row a comment
    doc.set(0, 0, '\n');
    doc.set_width(10);
    EXPECT_EQ(doc.undo_depth(), 0);
    EXPECT_FALSE(doc.unsaved());
    EXPECT_EQ(doc.text(), sky_rows(20, 10));

    // Painting a cell twice in one stroke takes it back to how it was before the stroke.
    doc.begin_stroke();
    doc.set(4, 4, 'B');
    doc.set(5, 4, 'B');
    doc.set(4, 4, 'X');
    doc.end_stroke();
    EXPECT_EQ(doc.undo_depth(), 1);
    doc.undo();
    EXPECT_EQ(doc.text(), sky_rows(20, 10));
}

TEST(LevelDocumentEdits, PaintingAShortRowFillsItUpAndUndoCutsItBack)
{
    const std::string original = "..........\n...\r\n....\n";
    LevelDocument doc = LevelDocument::from_text(original);
    EXPECT_EQ(doc.width(), 10);
    EXPECT_EQ(doc.at(6, 1), '.');
    doc.begin_stroke();
    doc.set(6, 1, 'B');
    doc.set(8, 1, 'X');
    doc.set(9, 2, 'G');
    doc.end_stroke();
    EXPECT_EQ(doc.text(), "..........\n......B.X.\r\n.........G\n");
    EXPECT_EQ(doc.undo_depth(), 1);
    doc.undo();
    EXPECT_EQ(doc.text(), original);
    doc.redo();
    EXPECT_EQ(doc.text(), "..........\n......B.X.\r\n.........G\n");

    // Widening and narrowing mixed with cells in one stroke come back in order.
    doc.begin_stroke();
    doc.set_width(12);
    doc.set(11, 0, 'B');
    doc.set_width(11);
    doc.set(10, 2, 'w');
    doc.end_stroke();
    EXPECT_EQ(doc.text(), "...........\n......B.X..\r\n.........Gw\n");
    doc.undo();
    EXPECT_EQ(doc.text(), "..........\n......B.X.\r\n.........G\n");
}

TEST(LevelDocumentEdits, UnsavedFollowsTheStepsFromTheSavedOne)
{
    LevelDocument doc = LevelDocument::from_text(sky_rows(20, 10));
    doc.set(1, 1, 'B');
    EXPECT_TRUE(doc.unsaved());
    doc.mark_saved();
    EXPECT_FALSE(doc.unsaved());
    doc.set(2, 2, 'B');
    EXPECT_TRUE(doc.unsaved());
    doc.undo();
    EXPECT_FALSE(doc.unsaved());
    doc.undo();
    EXPECT_TRUE(doc.unsaved());
    doc.redo();
    EXPECT_FALSE(doc.unsaved());

    // Once the saved step can no longer be reached, nothing but a save makes it saved.
    doc.undo();
    doc.set(3, 3, 'X');
    doc.undo();
    EXPECT_TRUE(doc.unsaved());

    doc.begin_stroke();
    EXPECT_TRUE(doc.unsaved());
    doc.set(4, 4, 'X');
    EXPECT_TRUE(doc.unsaved());  // while the stroke is still being made
    doc.end_stroke();

    doc.mark_saved();
    doc.mark_unsaved();
    EXPECT_TRUE(doc.unsaved());
}

}  // namespace
