// The level the editor edits: its text as its maker wrote it, the map rows in it, and the steps to
// take back and redo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// A problem the level compiler finds, at a map cell when it names one (col/row -1 otherwise),
// with the compiler's own words (the same as `brickrun-assets level` prints after file:line:column).
struct Problem {
    int col = -1, row = -1;
    int line = 0, column = 0;  // in the file, 1-based
    std::string message;
    bool warning = false;
};

// A level's text as its maker wrote it: the lines before the map (legend, comments, blank lines),
// the map rows, and anything after, kept byte for byte so an unchanged level saves to the same bytes
// and a change of one cell changes exactly that character.
//
// The map rows are the lines the compiler reads as rows: every line that is not a comment, except
// blank lines before the first row and after the last. Comments between rows stay where they are.
// A row shorter than the map (work in progress) shows sky past its end, and painting on it first
// fills it up to the map's width with sky.
class LevelDocument {
public:
    // Any text is taken; a text with no map rows at all gets none (width 0) until painted.
    // Line ends (\n or \r\n) are kept as found.
    static LevelDocument from_text(std::string_view text);
    // A new level: 20 rows, 40 columns, ground in rows 18-19, clear start at the left, an exit pipe
    // with its entrance near the right end, and the legend header the shipped levels carry.
    static LevelDocument fresh();

    int width() const;   // columns of the map (the widest row)
    int height() const;  // map rows
    char at(int col, int row) const;  // '.' outside the map; a character that is no tile as written
    int line_of_row(int row) const;   // the file's 1-based line of a map row, 0 outside the map

    // Editing. Every change between begin_stroke() and end_stroke() is one undo step; a change
    // outside a stroke is a step of its own. set() outside the map, or of a character that is no
    // tile, does nothing.
    void begin_stroke();
    void end_stroke();
    void set(int col, int row, char tile);
    void fill(int col0, int row0, int col1, int row1, char tile);  // inclusive corners, one step
    // At the right end, one step. Every row ends up `columns` long. New columns are sky, except on
    // rows that end in ground '=', where the ground runs on: the floor continues under the new
    // stretch while walls, pipes and the exit stay where they were. Kept from 1 to the most columns
    // the compiler takes for this many rows.
    void set_width(int columns);
    bool undo();
    bool redo();
    int undo_depth() const;  // steps that undo() can take back
    int redo_depth() const;

    bool unsaved() const;  // changed since it was opened or last marked saved
    void mark_saved();
    void mark_unsaved();  // holds work its file lacks, as a level brought back from its recovery file

    std::string text() const;  // the whole file as it would be saved
    std::string_view view() const { return body_; }  // the same, without a copy
    // The compiler's verdict on text(): its error (at most one) and warnings, placed at cells.
    std::vector<Problem> problems() const;

private:
    // One map row: where its characters lie in body_ (without the line end) and its line.
    struct Row {
        std::size_t offset;
        int length;
        int line;
    };
    // Row `row`'s characters from `at` were `before` and became `after`; a cell is a one-character
    // edit, filling up or cutting a row changes its length.
    struct Edit {
        int row;
        int at;
        std::string before, after;
    };
    struct Step {
        std::vector<Edit> edits;
        std::uint64_t id;
    };

    void record(Edit edit);
    void commit_open();
    void apply(const std::vector<Edit>& edits, bool forward);
    void rebuild(const std::vector<Edit>& edits, bool forward);
    void measure_width();
    std::uint64_t current_id() const;

    std::string body_;
    std::vector<Row> rows_;
    int width_ = 0;

    std::vector<Step> undo_, redo_;
    std::vector<Edit> open_;  // the changes of the stroke being made
    int stroke_depth_ = 0;
    std::uint64_t next_id_ = 1;
    std::uint64_t saved_id_ = 0;  // current_id() when last saved
};

// Files (editor/level_files.cpp). save_level() writes atomically (a temporary beside the file, then
// a rename), makes missing parent folders, and never loses the old file on failure; on success the
// level's recovery file goes, as it holds nothing the level lacks. open_level() takes any text up to
// kMaxLevelFileBytes, so work in progress opens, and refuses binary files. Errors say why in one line.
inline constexpr std::size_t kMaxLevelFileBytes = std::size_t{16} << 20;
bool save_level(const std::string& path, const LevelDocument& doc, std::string& error);
std::optional<LevelDocument> open_level(const std::string& path, std::string& error);

// The recovery file of a level (FILE.txt -> FILE.txt.recover): written every 30 s while there are
// unsaved changes, removed on save or on a clean exit. It holds the level's text and a last line
// "# brickrun recovery BYTES CHECKSUM" that proves it is whole. It is offered when it is newer than
// the level (or the level is missing); a cut-short or damaged one is refused with one line, never
// used half, and left in place since it may be the only copy of the work.
std::string recovery_path(const std::string& level_path);
bool write_recovery(const std::string& level_path, const LevelDocument& doc, std::string& error);
bool recovery_is_newer(const std::string& level_path);
std::optional<LevelDocument> read_recovery(const std::string& level_path, std::string& error);
void remove_recovery(const std::string& level_path);

}  // namespace editor
