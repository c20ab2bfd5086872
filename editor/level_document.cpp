// The level document: its text kept whole in one string, the map rows found in it, and undo steps
// that hold only the characters they changed.
#include "editor/level_document.h"

#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>

#include "formats/level_text.h"

namespace editor {
namespace {

bool is_tile(char c)
{
    return c != '\0' && formats::kTileChars.find(c) != std::string_view::npos;
}

constexpr std::uint64_t kNeverSaved = std::numeric_limits<std::uint64_t>::max();

}  // namespace

LevelDocument LevelDocument::from_text(std::string_view text)
{
    LevelDocument doc;
    doc.body_.assign(text);
    std::size_t start = 0;
    int line = 1;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::size_t stop = end == std::string_view::npos ? text.size() : end;
        // As the compiler reads a "\r\n" line end: the '\r' is not part of the row.
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        if (!formats::is_comment(text.substr(start, stop - start)))
            doc.rows_.push_back({start, static_cast<int>(stop - start), line});
        if (end == std::string_view::npos)
            break;
        start = end + 1;
        ++line;
    }
    // Blank lines around the map belong to the header and the trailer; only those inside it are rows
    // (of the compiler's complaint).
    const auto blank = [&](const Row& row) { return formats::is_blank(text.substr(row.offset, row.length)); };
    const auto first = std::find_if_not(doc.rows_.begin(), doc.rows_.end(), blank);
    const auto last = std::find_if_not(doc.rows_.rbegin(), std::make_reverse_iterator(first), blank).base();
    doc.rows_ = std::vector<Row>(first, last);
    doc.measure_width();
    return doc;
}

LevelDocument LevelDocument::fresh()
{
    constexpr int kWidth = 40;
    constexpr int kExitColumn = kWidth - 5;
    std::string text = formats::level_legend();
    for (int row = 0; row < formats::kMinLevelRows; ++row) {
        std::string cells(kWidth, row >= 18 ? '=' : '.');
        if (row == 15)
            cells[kExitColumn] = formats::kPipeEntrance;
        if (row == 16)
            cells.replace(kExitColumn, 2, "{}");
        if (row == 17)
            cells.replace(kExitColumn, 2, "[]");
        text += cells + '\n';
    }
    return from_text(text);
}

int LevelDocument::width() const
{
    return width_;
}

int LevelDocument::height() const
{
    return static_cast<int>(rows_.size());
}

char LevelDocument::at(int col, int row) const
{
    if (row < 0 || row >= height() || col < 0 || col >= rows_[static_cast<std::size_t>(row)].length)
        return '.';
    return body_[rows_[static_cast<std::size_t>(row)].offset + static_cast<std::size_t>(col)];
}

int LevelDocument::line_of_row(int row) const
{
    return row < 0 || row >= height() ? 0 : rows_[static_cast<std::size_t>(row)].line;
}

void LevelDocument::begin_stroke()
{
    ++stroke_depth_;
}

void LevelDocument::end_stroke()
{
    if (stroke_depth_ == 0)
        return;
    if (--stroke_depth_ == 0)
        commit_open();
}

void LevelDocument::set(int col, int row, char tile)
{
    if (!is_tile(tile) || row < 0 || row >= height() || col < 0 || col >= width_)
        return;
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (col < r.length) {
        const char old = body_[r.offset + static_cast<std::size_t>(col)];
        if (old != tile)
            record({row, col, std::string(1, old), std::string(1, tile)});
        return;
    }
    // A short row is filled up with sky to the map's width, so it stops being short.
    std::string fill_up(static_cast<std::size_t>(width_ - r.length), '.');
    fill_up[static_cast<std::size_t>(col - r.length)] = tile;
    record({row, r.length, "", std::move(fill_up)});
}

void LevelDocument::fill(int col0, int row0, int col1, int row1, char tile)
{
    if (!is_tile(tile) || width_ == 0)
        return;
    const int left = std::max(std::min(col0, col1), 0), right = std::min(std::max(col0, col1), width_ - 1);
    const int top = std::max(std::min(row0, row1), 0), bottom = std::min(std::max(row0, row1), height() - 1);
    begin_stroke();
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col)
            set(col, row, tile);
    }
    end_stroke();
}

void LevelDocument::set_width(int columns)
{
    if (rows_.empty())
        return;
    const auto most_cells = formats::kMaxLevelCells / static_cast<std::int64_t>(height());
    const int most = static_cast<int>(std::clamp<std::int64_t>(most_cells, 1, formats::kMaxLevelColumns));
    columns = std::clamp(columns, 1, most);
    std::vector<Edit> edits;
    for (int row = 0; row < height(); ++row) {
        const Row& r = rows_[static_cast<std::size_t>(row)];
        const std::string_view cells(body_.data() + r.offset, static_cast<std::size_t>(r.length));
        if (r.length > columns) {
            edits.push_back({row, columns, std::string(cells.substr(static_cast<std::size_t>(columns))), ""});
        } else if (r.length < columns) {
            const char more = !cells.empty() && cells.back() == '=' ? '=' : '.';
            edits.push_back({row, r.length, "", std::string(static_cast<std::size_t>(columns - r.length), more)});
        }
    }
    if (edits.empty())
        return;
    rebuild(edits, true);
    open_.insert(open_.end(), std::make_move_iterator(edits.begin()), std::make_move_iterator(edits.end()));
    if (stroke_depth_ == 0)
        commit_open();
}

bool LevelDocument::undo()
{
    commit_open();  // a stroke still being made is taken back whole
    if (undo_.empty())
        return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    apply(step.edits, false);
    redo_.push_back(std::move(step));
    return true;
}

bool LevelDocument::redo()
{
    commit_open();
    if (redo_.empty())
        return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    apply(step.edits, true);
    undo_.push_back(std::move(step));
    return true;
}

int LevelDocument::undo_depth() const
{
    return static_cast<int>(undo_.size());
}

int LevelDocument::redo_depth() const
{
    return static_cast<int>(redo_.size());
}

bool LevelDocument::unsaved() const
{
    return !open_.empty() || current_id() != saved_id_;
}

void LevelDocument::mark_saved()
{
    commit_open();
    saved_id_ = current_id();
}

void LevelDocument::mark_unsaved()
{
    saved_id_ = kNeverSaved;
}

std::string LevelDocument::text() const
{
    return body_;
}

std::vector<Problem> LevelDocument::problems() const
{
    const formats::Compiled compiled = formats::compile_level(body_);
    const auto place = [&](int line, int column, const std::string& message, bool warning) {
        Problem problem{-1, -1, line, column, message, warning};
        const auto row = std::lower_bound(rows_.begin(), rows_.end(), line,
                                          [](const Row& r, int l) { return r.line < l; });
        if (row != rows_.end() && row->line == line && column >= 1 && column <= width_) {
            problem.col = column - 1;
            problem.row = static_cast<int>(row - rows_.begin());
        }
        return problem;
    };
    std::vector<Problem> problems;
    if (compiled.error)
        problems.push_back(place(compiled.error->line, compiled.error->column, compiled.error->message, false));
    for (const formats::SourceWarning& warning : compiled.placed_warnings)
        problems.push_back(place(warning.line, warning.column, warning.message, true));
    return problems;
}

void LevelDocument::record(Edit edit)
{
    if (edit.before.size() == edit.after.size()) {
        body_.replace(rows_[static_cast<std::size_t>(edit.row)].offset + static_cast<std::size_t>(edit.at),
                      edit.after.size(), edit.after);
    } else {
        rebuild({edit}, true);
    }
    open_.push_back(std::move(edit));
    if (stroke_depth_ == 0)
        commit_open();
}

// A stroke that paints over the same cells again keeps one edit per cell, from its first look to its
// last, and cells painted back as they were drop out; a stroke left with no change is no step.
void LevelDocument::commit_open()
{
    const bool cells_only = std::all_of(open_.begin(), open_.end(), [](const Edit& e) {
        return e.before.size() == 1 && e.after.size() == 1;
    });
    if (cells_only) {
        std::unordered_map<std::uint64_t, std::size_t> seen;
        std::vector<Edit> kept;
        for (Edit& edit : open_) {
            const std::uint64_t key =
                (static_cast<std::uint64_t>(edit.row) << 32) | static_cast<std::uint32_t>(edit.at);
            const auto [where, first] = seen.try_emplace(key, kept.size());
            if (first)
                kept.push_back(std::move(edit));
            else
                kept[where->second].after = std::move(edit.after);
        }
        std::erase_if(kept, [](const Edit& e) { return e.before == e.after; });
        open_ = std::move(kept);
    }
    if (open_.empty())
        return;
    undo_.push_back({std::move(open_), next_id_++});
    open_.clear();
    redo_.clear();
}

void LevelDocument::apply(const std::vector<Edit>& edits, bool forward)
{
    const bool same_lengths = std::all_of(edits.begin(), edits.end(), [](const Edit& e) {
        return e.before.size() == e.after.size();
    });
    if (!same_lengths) {
        rebuild(edits, forward);
        return;
    }
    const auto put = [&](const Edit& e) {
        const std::string& cells = forward ? e.after : e.before;
        body_.replace(rows_[static_cast<std::size_t>(e.row)].offset + static_cast<std::size_t>(e.at),
                      cells.size(), cells);
    };
    if (forward)
        std::for_each(edits.begin(), edits.end(), put);
    else
        std::for_each(edits.rbegin(), edits.rend(), put);
}

// Edits that change rows' lengths move everything after them, so the rows they touch are edited
// apart and the text is put together once, however many rows a step resizes.
void LevelDocument::rebuild(const std::vector<Edit>& edits, bool forward)
{
    std::map<int, std::string> changed;
    const auto edit_row = [&](const Edit& e) {
        const Row& r = rows_[static_cast<std::size_t>(e.row)];
        const auto [where, first] = changed.try_emplace(e.row);
        if (first)
            where->second.assign(body_, r.offset, static_cast<std::size_t>(r.length));
        const std::string& from = forward ? e.before : e.after;
        const std::string& to = forward ? e.after : e.before;
        where->second.replace(static_cast<std::size_t>(e.at), from.size(), to);
    };
    if (forward)
        std::for_each(edits.begin(), edits.end(), edit_row);
    else
        std::for_each(edits.rbegin(), edits.rend(), edit_row);

    std::string out;
    std::size_t grown = body_.size();
    for (const auto& [row, cells] : changed)
        grown = grown - static_cast<std::size_t>(rows_[static_cast<std::size_t>(row)].length) + cells.size();
    out.reserve(grown);
    std::size_t copied = 0;  // body_ up to here is in out
    auto next = changed.begin();
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        Row& r = rows_[row];
        const std::size_t old_offset = r.offset;
        r.offset = out.size() + (old_offset - copied);
        if (next == changed.end() || next->first != static_cast<int>(row))
            continue;
        out.append(body_, copied, old_offset - copied);
        out += next->second;
        copied = old_offset + static_cast<std::size_t>(r.length);
        r.length = static_cast<int>(next->second.size());
        ++next;
    }
    out.append(body_, copied, std::string::npos);
    body_ = std::move(out);
    measure_width();
}

void LevelDocument::measure_width()
{
    width_ = 0;
    for (const Row& row : rows_)
        width_ = std::max(width_, row.length);
}

std::uint64_t LevelDocument::current_id() const
{
    return undo_.empty() ? 0 : undo_.back().id;
}

}  // namespace editor
