#include "shell/web_page_levels.h"

#include "editor/session.h"
#include "platform/platform.h"
#include "platform/web/web.h"
#include "shell/edit.h"
#include "shell/flow.h"
#include "world/level_pack.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

int saves_handed = 0;    // saves of the open level already handed to the page
std::string level_text;  // the open level's text as brickrun_level_text last copied it

EM_JS(void, offer_download, (const char* name, const char* bytes, size_t size), {
    if (window.brickrun && window.brickrun.download)
        window.brickrun.download(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});

std::string file_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

bool switch_editor_level(const std::string& path, std::string& error) {
    if (flow.test_play) end_test_play();
    if (!begin_editing(path, error)) return false;
    saves_handed = 0;
    return true;
}

void after_page_step() {
    platform::web::set_editing(editor::session.has_value());
    if (!editor::session) {
        saves_handed = 0;
        return;
    }
    const editor::Editor& editor = editor::session->editor;
    if (editor.saves() == saves_handed) return;
    saves_handed = editor.saves();
    const std::string_view text = editor.document().view();
    offer_download(file_name(editor.path()).c_str(), text.data(), text.size());
}

extern "C" {

// The page's Save button: Ctrl+S.
EMSCRIPTEN_KEEPALIVE void brickrun_save() {
    if (!editor::session) return;
    editor::session->editor.save();
    after_page_step();
}

// The open level's text, for a link that carries it: its bytes (brickrun_level_size of them), valid
// until the next call.
EMSCRIPTEN_KEEPALIVE const char* brickrun_level_text() {
    level_text = editor::session ? editor::session->editor.document().text() : std::string();
    return level_text.data();
}
EMSCRIPTEN_KEEPALIVE size_t brickrun_level_size() { return level_text.size(); }

EMSCRIPTEN_KEEPALIVE int brickrun_unsaved() {
    return editor::session && editor::session->editor.unsaved() ? 1 : 0;
}

// Writes the open level's recovery file now, for the page to keep where it outlives the page:
// 1 written, 0 nothing unsaved to keep (a kept copy may go), 2 leave any kept copy alone (the
// editor is asking whether to restore it, or cannot write).
EMSCRIPTEN_KEEPALIVE int brickrun_keep_work() {
    if (!editor::session) return 2;
    const editor::Editor& editor = editor::session->editor;
    if (editor.question() == editor::Question::restore) return 2;
    if (!editor.unsaved()) return 0;
    std::string error;
    return editor::write_recovery(editor.path(), editor.document(), error) ? 1 : 2;
}

// The level at `path` as the run's levels, a pack of one: false, after the compiler's words
// ("path:line:column: message") on the page, when it cannot be played.
EMSCRIPTEN_KEEPALIVE int brickrun_use_level(const char* path) {
    std::string error;
    if (load_level_file(path, error)) return 1;
    platform::report_fatal("brickrun: the link's level cannot be played: " + error);
    return 0;
}

}  // extern "C"
