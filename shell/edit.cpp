#include "shell/edit.h"

#include "core/game_state.h"
#include "editor/session.h"
#include "shell/frame.h"

bool begin_editing(const std::string& path, std::string& error) {
    if (!editor::open_session(path, error)) return false;
    flow.phase = Phase::editor;
    return true;
}

Outcome run_editor() {
    if (quit_requested) return Outcome::end;
    switch (editor::editor_pass()) {
        case editor::Request::leave:
            editor::close_session(true);
            return Outcome::end;
        case editor::Request::test_play:
            editor::begin_test_play();
            flow.test_play = true;
            if (drawing()) draw_frame();
            flow.phase = Phase::frame;
            return Outcome::go_on;
        case editor::Request::none: break;
    }
    show_picture();
    flow.phase = Phase::editor;
    return Outcome::presented;
}

Outcome end_test_play() {
    editor::end_test_play();
    flow.test_play = false;
    flow.phase = Phase::editor;
    return Outcome::go_on;
}
