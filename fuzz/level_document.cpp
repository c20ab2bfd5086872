// The level editor's document on any bytes: opened as a level's text and as a recovery file, then
// edited, undone and redone as the input's bytes say, with its text checked all the way.
#include "fuzz/support.h"
#include "editor/level_document.h"

#include <string>
#include <string_view>

namespace {

// The input's bytes read again as a list of edits, after their use as the text.
struct Script {
    std::string_view bytes;
    std::size_t at = 0;
    int next() { return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : 0; }
    bool done() const { return at >= bytes.size(); }
};

char tile(int byte)
{
    // Now and then a character that is no tile, which the document must turn down.
    return byte < 240 ? "B=X.wsC?GH[]{}v"[byte % 15] : static_cast<char>(byte - 240 + '\n');
}

// A change of one cell outside a stroke changes that one character, or fills up a short row.
void check_one_cell(const std::string& before, const editor::LevelDocument& doc)
{
    const std::string after = doc.text();
    if (after.size() != before.size()) {
        fuzz::expect(after.size() > before.size(), "painting a cell only ever fills a short row up");
        return;
    }
    int changed = 0;
    for (std::size_t i = 0; i < after.size(); ++i)
        changed += after[i] != before[i];
    fuzz::expect(changed <= 1, "a change of one cell changes at most one character");
}

void edit(editor::LevelDocument& doc, Script script)
{
    constexpr int kMostEdits = 24;  // with rows of at most 64 more columns, a few MB at worst
    int open_strokes = 0;
    for (int n = 0; n < kMostEdits && !script.done(); ++n) {
        const int op = script.next() % 7;
        const int col = script.next() % (doc.width() + 2) - 1;
        const int row = script.next() % (doc.height() + 2) - 1;
        const char t = tile(script.next());
        if (op == 0) {
            const std::string before = doc.text();
            doc.set(col, row, t);
            check_one_cell(before, doc);
        } else if (op == 1) {
            doc.fill(col, row, col + script.next() % 8 - 4, row + script.next() % 8 - 4, t);
        } else if (op == 2) {
            doc.begin_stroke();
            ++open_strokes;
        } else if (op == 3) {
            doc.end_stroke();
            open_strokes -= open_strokes > 0;
        } else if (op == 4) {
            doc.set_width(script.next() % 64 + 1);
        } else if (op == 5) {
            doc.undo();
        } else {
            doc.redo();
        }
    }
    for (; open_strokes > 0; --open_strokes)
        doc.end_stroke();
}

void check_history(editor::LevelDocument& doc, std::string_view original)
{
    const int steps = doc.undo_depth() + doc.redo_depth();
    while (doc.redo()) {
    }
    const std::string tip = doc.text();
    while (doc.undo()) {
    }
    fuzz::expect(doc.text() == original, "undoing every step gives back the text as opened");
    fuzz::expect(!doc.unsaved(), "the text as opened is the saved one");
    while (doc.redo()) {
    }
    fuzz::expect(doc.text() == tip, "redoing every step gives back the same text");
    fuzz::expect(doc.undo_depth() == steps && doc.redo_depth() == 0, "undo and redo keep every step");
}

void check_problems(const editor::LevelDocument& doc)
{
    for (const editor::Problem& problem : doc.problems()) {
        const bool placed = problem.col >= 0 && problem.col < doc.width() && problem.row >= 0 &&
                            problem.row < doc.height();
        fuzz::expect(placed || (problem.col == -1 && problem.row == -1),
                     "a problem is at a cell of the map or at none");
        fuzz::expect(!problem.message.empty(), "a problem says what is wrong");
    }
}

// The file as a recovery file: when it is taken, it is exactly the one the document would write.
void check_recovery(const std::string& level, std::string_view bytes)
{
    std::string error;
    const auto recovered = editor::read_recovery(level, error);
    if (!recovered) {
        fuzz::expect(!error.empty() && error.find('\n') == std::string::npos, "a refusal is one line");
        return;
    }
    fuzz::expect(recovered->unsaved(), "recovered work is unsaved");
    fuzz::expect(editor::write_recovery(level, *recovered, error), "a recovery file can be written");
    std::string again;
    const auto written = editor::open_level(editor::recovery_path(level), again);
    fuzz::expect(!written || written->text() == bytes, "a recovery file is taken only as written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string recovery = fuzz::write_input(data, size, ".txt.recover");
    const std::string level = recovery.substr(0, recovery.size() - std::string_view(".recover").size());

    std::string error;
    const auto opened = editor::open_level(recovery, error);
    fuzz::expect(opened.has_value() == (bytes.find('\0') == std::string_view::npos),
                 "any text opens and nothing with a NUL byte does");
    fuzz::expect(!opened || opened->text() == bytes, "an opened level gives back its bytes");
    check_recovery(level, bytes);

    editor::LevelDocument doc = editor::LevelDocument::from_text(bytes);
    fuzz::expect(doc.text() == bytes, "an unchanged level gives back its bytes");
    edit(doc, Script{bytes});
    check_problems(doc);
    check_history(doc, bytes);
    return 0;
}
