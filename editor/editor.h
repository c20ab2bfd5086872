// The level editor's state and its rules: what one pass of input does to the level and the view.
//
// The editor shows the level where the game draws it (column c at x = 32c less the view, map row r
// at y = 32r - 32) under a bar holding the palette and the status line, or, zoomed out, the whole
// level at once. Nothing here draws or reads a device: a pass's input comes in as an Input, so the
// rules can be driven by tests as by the program.
#pragma once

#include "editor/level_document.h"
#include "editor/proof.h"
#include "editor/view.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace editor {

// One pass's input: the keyboard snapshots (DirectInput codes), the pointer in picture pixels, its
// buttons (left, right, middle) now and at the pass before, and the wheel's notches since.
struct Input {
    std::array<uint8_t, 256> keys{};
    std::array<uint8_t, 256> prev_keys{};
    int32_t x = 0, y = 0;
    int32_t wheel = 0;
    std::array<bool, 3> buttons{};
    std::array<bool, 3> prev_buttons{};

    bool held(int code) const { return keys[static_cast<size_t>(code)] != 0; }
    bool pressed(int code) const { return held(code) && prev_keys[static_cast<size_t>(code)] == 0; }
    bool down(int button) const { return buttons[static_cast<size_t>(button)]; }
    bool went_down(int button) const { return down(button) && !prev_buttons[static_cast<size_t>(button)]; }
    bool went_up(int button) const { return !down(button) && prev_buttons[static_cast<size_t>(button)]; }
};

constexpr int left_button = 0, right_button = 1, middle_button = 2;

// What a pass asks of whoever runs the editor.
enum class Request { none, test_play, leave };

// A question on the status line that only Y/N (or Escape, Ctrl+S) answers.
enum class Question { none, restore, leave };

// The last proof (P): none asked since the last edit, the solver still at work, a clear found, or
// none found.
enum class ProofState { idle, running, proved, none };

class Editor {
public:
    // `path` is where Ctrl+S saves; `now` the clock at opening, for the recovery file's pace.
    Editor(LevelDocument document, std::string path, uint32_t now);

    // Acts on one pass's input at clock `now` (milliseconds).
    Request step(const Input& input, uint32_t now);

    // Asks, on the status line, whether to take the recovery file found newer than the level.
    void offer_recovery();

    // Saves the level to its path, as Ctrl+S does (a page's Save button), and says so on the
    // status line.
    void save();
    // Saves that reached the file so far, for whoever passes the saved file on (the page's
    // download).
    int saves() const { return saves_; }

    const LevelDocument& document() const { return document_; }
    const std::string& path() const { return path_; }
    View view() const;
    int view_column() const { return view_column_; }
    bool zoomed() const { return zoomed_; }
    char selected() const { return selected_; }
    bool unsaved() const { return document_.unsaved(); }
    Question question() const { return question_; }
    // The cell under the pointer at the last pass, if it is over the level.
    std::optional<Cell> pointer_cell() const { return pointer_cell_; }
    // The corners of the rectangle being filled, while one is.
    std::optional<std::pair<Cell, Cell>> fill_rectangle() const;
    // The compiler's problems with the level as it stands.
    const std::vector<Problem>& problems() const { return problems_; }
    // The status line: a question, a message of the last action, or the problem under the pointer
    // (else the first), in the compiler's words.
    std::string status() const;

    // Where test-play starts: the cell under the pointer when T went down.
    Cell test_start() const { return test_start_; }

    // Where P finds the solver and the game's data.
    void set_proof_setup(ProofSetup setup) { proof_setup_ = std::move(setup); }
    ProofState proof_state() const { return proof_state_; }
    // The hero's way through the level the last proof found (or the furthest it got), until the
    // next edit.
    const std::vector<PathPoint>& proof_path() const { return proof_path_; }

private:
    enum class Drag { none, paint, clear, fill, clear_fill, pan };

    void changed();
    void answer(const Input& input);
    void keys(const Input& input, Request& request);
    void pointer(const Input& input);
    void paint_to(Cell cell);
    void scroll_by(int columns);
    void autosave(uint32_t now);
    void prove();
    void poll_proof(uint32_t now);
    void drop_proof();

    LevelDocument document_;
    std::string path_;
    int view_column_ = 0;
    bool zoomed_ = false;
    char selected_ = 'B';
    Drag drag_ = Drag::none;
    Cell anchor_{};  // where a fill began, or the last cell a stroke painted
    int32_t pan_x_ = 0;
    int pan_column_ = 0;
    std::optional<Cell> pointer_cell_;
    std::vector<Problem> problems_;
    std::string message_;
    Question question_ = Question::none;
    bool recovery_due_ = false;
    uint32_t unsaved_since_ = 0;
    Cell test_start_{};
    ProofSetup proof_setup_;
    // Shared, not copied: a snapshot of the session holds the one child, ended with the last owner.
    std::shared_ptr<ProofRun> proof_run_;
    ProofState proof_state_ = ProofState::idle;
    uint32_t proof_started_ = 0, proof_now_ = 0;
    std::vector<PathPoint> proof_path_;
    int saves_ = 0;
};

}  // namespace editor
