#include "editor/editor.h"

#include "editor/keys.h"
#include "formats/level_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace editor {

namespace {

constexpr uint32_t recovery_ms = 30000;  // unsaved changes reach the recovery file within this
constexpr int wheel_columns = 3;         // columns one notch of the wheel scrolls
constexpr int big_step = 10;             // columns Shift+[ and Shift+] take off or add

std::string file_name(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string placed(const Problem& problem) {
    std::string text = problem.warning ? "warning: " : "";
    if (problem.col >= 0)
        text += "column " + std::to_string(problem.col + 1) + ", row " +
                std::to_string(problem.row + 1) + ": ";
    return text + problem.message;
}

}  // namespace

Editor::Editor(LevelDocument document, std::string path, uint32_t now)
    : document_(std::move(document)), path_(std::move(path)), unsaved_since_(now) {
    problems_ = document_.problems();
}

void Editor::offer_recovery() { question_ = Question::restore; }

View Editor::view() const {
    return zoomed_ ? zoomed_view(view_column_, document_.width(), document_.height())
                   : game_view(view_column_, document_.width(), document_.height());
}

std::optional<std::pair<Cell, Cell>> Editor::fill_rectangle() const {
    if ((drag_ != Drag::fill && drag_ != Drag::clear_fill) || !pointer_cell_) return std::nullopt;
    return std::pair{anchor_, *pointer_cell_};
}

std::string Editor::status() const {
    if (question_ == Question::restore)
        return "A recovery file newer than the level was found: restore it? Y/N";
    if (question_ == Question::leave) return "Unsaved changes: Escape again to leave, Ctrl+S to save";
    if (proof_state_ == ProofState::running)
        return "Proving... " + std::to_string((proof_now_ - proof_started_) / 1000) +
               " s (P or Escape stops)";
    if (!message_.empty()) return message_;
    if (problems_.empty()) return "";
    for (const Problem& problem : problems_) {
        if (pointer_cell_ && problem.col == pointer_cell_->col && problem.row == pointer_cell_->row)
            return placed(problem);
    }
    return placed(problems_.front());
}

Request Editor::step(const Input& input, uint32_t now) {
    pointer_cell_ = view().cell_at(input.x, input.y);
    poll_proof(now);
    Request request = Request::none;
    if (question_ == Question::restore) {
        answer(input);
    } else {
        keys(input, request);
        if (request == Request::none) pointer(input);
    }
    autosave(now);
    return request;
}

void Editor::changed() {
    drop_proof();
    problems_ = document_.problems();
    message_.clear();
    if (question_ == Question::leave) question_ = Question::none;
}

void Editor::answer(const Input& input) {
    if (input.pressed(key_y)) {
        std::string error;
        if (std::optional<LevelDocument> recovered = read_recovery(path_, error)) {
            document_ = std::move(*recovered);
            document_.mark_unsaved();
            changed();
            message_ = "Restored the recovery file: Ctrl+S keeps it";
        } else {
            message_ = "Cannot restore: " + error;
        }
        question_ = Question::none;
    } else if (input.pressed(key_n) || input.pressed(key_escape)) {
        question_ = Question::none;
        message_ = "Kept the level as saved";
    }
}

void Editor::keys(const Input& input, Request& request) {
    const bool ctrl = input.held(key_lcontrol) || input.held(key_rcontrol);
    const bool shift = input.held(key_lshift) || input.held(key_rshift);
    const bool dragging = drag_ != Drag::none && drag_ != Drag::pan;
    if (ctrl) {
        if (input.pressed(key_s)) save();
        if (dragging) return;  // a stroke ends before it can be undone
        const bool undo = input.pressed(key_z) && !shift;
        const bool redo = input.pressed(key_y) || (input.pressed(key_z) && shift);
        if ((undo && document_.undo()) || (redo && document_.redo())) changed();
        return;
    }
    if (proof_state_ == ProofState::running &&
        (input.pressed(key_escape) || input.pressed(key_prove))) {
        drop_proof();
        message_ = "Proving stopped";
        return;
    }
    if (input.pressed(key_prove)) prove();
    if (input.pressed(key_escape)) {
        if (!unsaved() || question_ == Question::leave) {
            request = Request::leave;
            return;
        }
        question_ = Question::leave;
    }
    if (input.pressed(key_z)) zoomed_ = !zoomed_;
    if (input.pressed(key_test_play)) {
        if (pointer_cell_) {
            test_start_ = *pointer_cell_;
            request = Request::test_play;
            return;
        }
        message_ = "Point at the cell the hero is to start in, then press T";
    }
    const std::string_view pieces = formats::kTileChars;
    const int count = static_cast<int>(pieces.size());
    if (input.pressed(key_tab)) {
        const int at = static_cast<int>(pieces.find(selected_));
        selected_ = pieces[static_cast<size_t>((at + (shift ? count - 1 : 1)) % count)];
    }
    for (int digit = 0; digit < 10; ++digit) {
        if (input.pressed(key_1 + digit)) selected_ = pieces[static_cast<size_t>(digit)];
    }
    if (!dragging && (input.pressed(key_lbracket) || input.pressed(key_rbracket))) {
        const int by = (shift ? big_step : 1) * (input.pressed(key_rbracket) ? 1 : -1);
        const int width = std::clamp(document_.width() + by, 1, formats::kMaxLevelColumns);
        if (width != document_.width()) {
            document_.set_width(width);
            changed();
            view_column_ = std::min(view_column_, last_view_column(document_.width()));
        }
    }
    const int page = shift ? visible_columns : 1;
    if (input.pressed(key_left)) scroll_by(-page);
    if (input.pressed(key_right)) scroll_by(page);
    if (input.pressed(key_prior)) scroll_by(-visible_columns);
    if (input.pressed(key_next)) scroll_by(visible_columns);
    if (input.pressed(key_home)) scroll_by(-document_.width());
    if (input.pressed(key_end)) scroll_by(document_.width());
}

void Editor::scroll_by(int columns) {
    view_column_ = std::clamp(view_column_ + columns, 0, last_view_column(document_.width()));
}

void Editor::pointer(const Input& input) {
    if (input.wheel != 0) scroll_by(-input.wheel * wheel_columns);
    const bool shift = input.held(key_lshift) || input.held(key_rshift);
    if (drag_ == Drag::none) {
        if (input.went_down(left_button)) {
            if (std::optional<int> piece = palette_piece_at(input.x, input.y)) {
                selected_ = formats::kTileChars[static_cast<size_t>(*piece)];
                return;
            }
        }
        const bool left = input.went_down(left_button), right = input.went_down(right_button);
        if ((left || right) && pointer_cell_) {
            anchor_ = *pointer_cell_;
            if (shift) {
                drag_ = left ? Drag::fill : Drag::clear_fill;
                return;
            }
            drag_ = left ? Drag::paint : Drag::clear;
            drop_proof();
            document_.begin_stroke();
            paint_to(anchor_);
            return;
        }
        if (input.went_down(middle_button)) {
            drag_ = Drag::pan;
            pan_x_ = input.x;
            pan_column_ = view_column_;
        }
        return;
    }
    const int button = drag_ == Drag::pan                                   ? middle_button
                       : drag_ == Drag::paint || drag_ == Drag::fill ? left_button
                                                                            : right_button;
    if (drag_ == Drag::pan) {
        scroll_by(pan_column_ - (input.x - pan_x_) / view().cell - view_column_);
    } else if ((drag_ == Drag::paint || drag_ == Drag::clear) && pointer_cell_ &&
               input.down(button)) {
        // Only while held: a button let go before the pointer moved on paints nothing there.
        paint_to(*pointer_cell_);
    }
    if (input.down(button)) return;
    if (drag_ == Drag::paint || drag_ == Drag::clear) {
        document_.end_stroke();
        changed();
    } else if ((drag_ == Drag::fill || drag_ == Drag::clear_fill) && pointer_cell_) {
        document_.fill(anchor_.col, anchor_.row, pointer_cell_->col, pointer_cell_->row,
                       drag_ == Drag::fill ? selected_ : '.');
        changed();
    }
    drag_ = Drag::none;
}

// Every cell on the straight line from the stroke's last cell, so a quick drag leaves no gaps.
void Editor::paint_to(Cell cell) {
    const char piece = drag_ == Drag::paint ? selected_ : '.';
    const int steps = std::max(std::abs(cell.col - anchor_.col), std::abs(cell.row - anchor_.row));
    for (int i = 0; i <= steps; ++i) {
        const double along = steps ? static_cast<double>(i) / steps : 0.0;
        const int col = anchor_.col + static_cast<int>(std::lround((cell.col - anchor_.col) * along));
        const int row = anchor_.row + static_cast<int>(std::lround((cell.row - anchor_.row) * along));
        if (document_.at(col, row) != piece) document_.set(col, row, piece);
    }
    anchor_ = cell;
}

void Editor::prove() {
    if (!can_prove) {
        message_ = "Proving needs brickrun-solve (Linux)";
        return;
    }
    const auto error = std::find_if(problems_.begin(), problems_.end(),
                                    [](const Problem& p) { return !p.warning; });
    if (error != problems_.end()) {
        message_ = "Cannot prove a level with an error: " + placed(*error);
        return;
    }
    std::string why;
    std::shared_ptr<ProofRun> run = ProofRun::start(proof_setup_, document_.view(), why);
    if (!run) {
        message_ = why;
        return;
    }
    proof_run_ = std::move(run);
    proof_state_ = ProofState::running;
    proof_started_ = proof_now_;
    proof_path_.clear();
    message_.clear();
}

void Editor::poll_proof(uint32_t now) {
    proof_now_ = now;
    if (proof_state_ != ProofState::running || !proof_run_->ended(proof_setup_.wait_ms)) return;
    ProofOutcome outcome = proof_run_->outcome();
    proof_run_.reset();
    proof_path_ = std::move(outcome.path);
    proof_state_ = outcome.proved ? ProofState::proved : ProofState::none;
    if (outcome.proved)
        message_ = "Proved: " + std::to_string(outcome.presents) + " presents";
    else if (outcome.furthest_column >= 0)
        message_ = "No clear found: got as far as column " +
                   std::to_string(outcome.furthest_column + 1);
    else
        message_ = "Cannot prove: " + outcome.failure;
}

// The level is no longer the one proved: its way goes, and a proof still at work is stopped.
void Editor::drop_proof() {
    proof_run_.reset();
    proof_state_ = ProofState::idle;
    proof_path_.clear();
}

void Editor::save() {
    std::string error;
    if (!save_level(path_, document_, error)) {
        message_ = "Cannot save: " + error;
        return;
    }
    document_.mark_saved();
    ++saves_;
    remove_recovery(path_);
    question_ = Question::none;
    const bool errors = std::any_of(problems_.begin(), problems_.end(),
                                    [](const Problem& p) { return !p.warning; });
    message_ = errors ? "Saved " + file_name(path_) + ", with an error: " + placed(problems_.front())
                      : "Saved " + file_name(path_);
}

void Editor::autosave(uint32_t now) {
    if (!unsaved()) {
        recovery_due_ = false;
        return;
    }
    if (!recovery_due_) {
        recovery_due_ = true;
        unsaved_since_ = now;
    }
    if (now - unsaved_since_ < recovery_ms) return;
    std::string error;
    if (!write_recovery(path_, document_, error)) message_ = "Cannot write the recovery file: " + error;
    unsaved_since_ = now;
}

}  // namespace editor
