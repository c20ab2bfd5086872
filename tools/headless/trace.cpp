#include "tools/headless/trace.h"

#include "blocks/block.h"
#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "editor/session.h"
#include "enemies/enemy.h"
#include "platform/audio.h"
#include "player/player.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

// Appends printf-style text.
void add(std::string& out, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n > 0) out.append(text, static_cast<size_t>(n) < sizeof text ? n : sizeof text - 1);
}

const char* json_bool(bool b) { return b ? "true" : "false"; }

const char* screen_name(Screen screen) {
    switch (screen) {
        case Screen::menu: return "menu";
        case Screen::banner: return "banner";
        case Screen::game_over: return "game_over";
        case Screen::game: return "game";
        case Screen::editor: return "editor";
    }
    return "";
}

void add_box(std::string& out, const Rect& r) {
    add(out, "\"box\":[%d,%d,%d,%d]", r.left, r.top, r.right, r.bottom);
}

// The fields every entity has, in the order of the class.
void add_entity(std::string& out, const Entity& e) {
    // Picture names are plain file names: nothing in them needs escaping.
    add(out, "\"x\":%d,\"vx\":%.9g,\"y\":%d,\"vy\":%.9g,\"scroll\":%d,\"anim\":%d,"
             "\"facing_left\":%s,\"sprite\":\"%s\",",
        e.x, e.vx, e.y, e.vy, e.scroll, e.anim, json_bool(e.facing_left), picture_name(e.sprite));
    add_box(out, e.box);
}

std::string hero() {
    const Player& p = player;
    std::string out = "{";
    add_entity(out, p);
    add(out, ",\"wall_right\":%s,\"wall_left\":%s,\"hurt\":%s,\"crouching\":%s,\"jumping\":%s,"
             "\"jump_ref_y\":%d,\"death_timer\":%d,\"grow_timer\":%d,\"power\":%d,"
             "\"hurt_timer\":%d,\"pipe_timer\":%d,\"saved_vx\":%.9g,\"saved_vy\":%.9g,\"start_grace\":%d}",
        json_bool(p.wall_right), json_bool(p.wall_left), json_bool(p.hurt), json_bool(p.crouching),
        json_bool(p.jumping), p.jump_ref_y, p.death_timer, p.grow_timer, p.power, p.hurt_timer,
        p.pipe_timer, p.saved_vx, p.saved_vy, p.start_grace);
    return out;
}

// The fields a block, an enemy or an item adds to the entity, in the order of its class.
void add_class_fields(std::string& out, const ObjectEntry& e) {
    if (e.kind == KIND_BLOCK) {
        const auto* b = static_cast<const Block*>(e.entity());
        add(out, ",\"used\":%s,\"bump\":%d,\"debris_timer\":%d,\"block_type\":%d,\"content\":%d",
            json_bool(b->used), b->bump, b->debris_timer, b->block_type, b->content);
    } else if (e.kind == KIND_ENEMY) {
        const auto* n = static_cast<const Enemy*>(e.entity());
        add(out, ",\"walk_anim\":%d,\"enemy_type\":%d,\"mirrored\":%s,\"dead\":%s,\"points\":%d,"
                 "\"active\":%s,\"knocked\":%s",
            n->walk_anim, n->enemy_type, json_bool(n->mirrored), json_bool(n->dead), n->points,
            json_bool(n->active), json_bool(n->knocked));
    } else if (e.kind == KIND_ITEM) {
        const auto* i = static_cast<const Item*>(e.entity());
        add(out, ",\"done\":%s,\"item_type\":%d", json_bool(i->done), i->item_type);
    }
}

// Every entry's index and kind; entities add their fields, pipe entrances their point and box. A
// removed entry's class is no longer known, so it shows no fields.
std::string object_list() {
    std::string out = "[";
    for (int32_t i = 0; i < objects.count; ++i) {
        const ObjectEntry& e = objects.entries[i];
        add(out, "%s{\"index\":%d,\"kind\":%d", i ? "," : "", i, e.kind);
        if (e.is_entity()) {
            out += ",";
            add_entity(out, *e.entity());
            add_class_fields(out, e);
        } else if (e.kind == KIND_PIPE) {
            const auto* pipe = static_cast<const PipeEntrance*>(e.object);
            add(out, ",\"x\":%d,\"y\":%d,", pipe->x, pipe->y);
            add_box(out, pipe->box);
        }
        out += "}";
    }
    return out + "]";
}

// A JSON string: the compiler's messages quote the level's characters, quotes and backslashes too.
std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            add(out, "\\u%04x", static_cast<unsigned char>(c));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* proof_name(editor::ProofState state) {
    switch (state) {
        case editor::ProofState::idle: return "idle";
        case editor::ProofState::running: return "running";
        case editor::ProofState::proved: return "proved";
        case editor::ProofState::none: return "none";
    }
    return "";
}

// The editor's side of a present: its view, the cell under the pointer, the piece chosen, the undo
// steps, whether there are unsaved changes, the zoom, the compiler's problems at their cells, and
// the last proof with the length of the way it drew.
std::string editor_fields(const editor::Editor& e) {
    std::string out;
    const char selected[2] = {e.selected(), '\0'};
    add(out, "{\"view_column\":%d,\"pointer_cell\":", e.view_column());
    if (auto cell = e.pointer_cell()) add(out, "[%d,%d]", cell->col, cell->row);
    else out += "null";
    add(out, ",\"selected\":%s,\"undo_depth\":%d,\"unsaved\":%s,\"zoomed\":%s,\"width\":%d,"
             "\"height\":%d,\"status\":%s,\"problems\":[",
        json_string(selected).c_str(), e.document().undo_depth(), json_bool(e.unsaved()),
        json_bool(e.zoomed()), e.document().width(), e.document().height(),
        json_string(e.status()).c_str());
    bool first = true;
    for (const editor::Problem& p : e.problems()) {
        add(out, "%s{\"col\":%d,\"row\":%d,\"warning\":%s,\"message\":", first ? "" : ",",
            p.col, p.row, json_bool(p.warning));
        out += json_string(p.message) + "}";
        first = false;
    }
    add(out, "],\"proof\":\"%s\",\"path\":%zu}", proof_name(e.proof_state()),
        e.proof_path().size());
    return out;
}

std::string sounds_field() {
    std::string out = ",\"sounds\":[";
    const std::vector<platform::Sound>& sounds = platform::audio::since_present();
    for (size_t i = 0; i < sounds.size(); ++i)
        add(out, "%s\"%s\"", i == 0 ? "" : ",", platform::audio::sound_name(sounds[i]));
    return out + "]}\n";
}

}  // namespace

std::string TraceWriter::map_changes() {
    const TileMap& map = current_map;
    std::string out = "[";
    int64_t count = static_cast<int64_t>(map.map_width) * map.map_height;
    bool first = true;
    for (int64_t i = 0; i < count; ++i) {
        int32_t code = map.cell(i);
        // A file that no longer reads counts as all changed: the check will see it.
        if (file_cells.at(map, i) == code) continue;
        add(out, "%s[%d,%d,%d]", first ? "" : ",", static_cast<int32_t>(i % map.map_width),
            static_cast<int32_t>(i / map.map_width), code);
        first = false;
    }
    return out + "]";
}

std::string TraceWriter::line(int present) {
    const GameState& g = game_state;
    std::string out;
    if (current_screen == Screen::editor && editor::session) {
        add(out, "{\"present\":%d,\"screen\":\"editor\",\"editor\":", present);
        return out + editor_fields(editor::session->editor) + sounds_field();
    }
    add(out,
        "{\"present\":%d,\"screen\":\"%s\",\"lives\":%d,\"score\":%d,\"coins\":%d,"
        "\"restart_level\":%s,\"next_level\":%s,\"in_game\":%s,\"level_index\":%d,\"camera_x\":%d,"
        "\"sub_steps\":%d,\"combo\":%d,\"combo_timer\":%d,\"bump_lock\":%d,\"next_frame_time\":%d,"
        "\"fps\":%d,\"fps_frames\":%d,\"fps_window_start\":%.9g,\"world_frozen\":%s,",
        present, screen_name(current_screen), g.lives, g.score, g.coins, json_bool(g.restart_level),
        json_bool(g.next_level), json_bool(g.in_game), g.level_index, g.camera_x, g.sub_steps,
        g.combo, g.combo_timer, g.bump_lock, g.next_frame_time, g.fps, g.fps_frames,
        g.fps_window_start, json_bool(world_frozen));
    out += "\"hero\":" + hero();
    out += ",\"objects\":" + object_list();
    out += ",\"map_changes\":" + map_changes();
    return out + sounds_field();
}
