#include "tools/headless/monkey.h"

#include "core/game_state.h"
#include "player/player.h"
#include "render/input.h"
#include "world/object_list.h"
#include "world/tile_map.h"

#include <algorithm>

namespace headless = platform::headless;

namespace {

// How long a player holds each key and leaves it, in presents (33 ms each): the run is held for
// seconds with short breaks, a jump tapped or held for height, slow motion and the overlay seldom.
struct KeyHabit {
    int code, hold_min, hold_max, rest_min, rest_max;
};
constexpr KeyHabit habits[] = {
    {DIK_RIGHT, 10, 150, 3, 40},   {DIK_LEFT, 5, 60, 20, 200},    {DIK_SPACE, 1, 25, 3, 50},
    {DIK_DOWN, 3, 40, 40, 300},    {DIK_UP, 2, 20, 60, 400},      {DIK_LSHIFT, 10, 200, 10, 200},
    {DIK_RSHIFT, 5, 60, 100, 600}, {DIK_S, 1, 30, 200, 1500},     {DIK_D, 1, 10, 100, 1000},
    {DIK_RETURN, 1, 10, 100, 600},
};

bool is_known_kind(int16_t kind) {
    return (kind >= KIND_PLAYER && kind <= KIND_PIPE) || kind == KIND_REMOVED;
}

}  // namespace

Monkey::Monkey(uint64_t seed, std::vector<headless::InputChange> guide)
    : state_(seed), guide_(std::move(guide)) {
    for (const KeyHabit& h : habits)
        keys_.push_back(Key{h.code, h.hold_min, h.hold_max, h.rest_min, h.rest_max});
}

// splitmix64: the same numbers from the same seed on every machine and library.
uint64_t Monkey::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Monkey::between(int low, int high) {
    return low + static_cast<int>(next() % static_cast<uint64_t>(high - low + 1));
}

void Monkey::set(int code, bool down) {
    held_[code] = down;
    headless::set_key(code, down);
}

void Monkey::release_all() {
    for (Key& key : keys_) {
        key.down = false;
        set(key.code, false);
    }
}

std::string Monkey::on_present(int present) {
    std::string broken = check();
    if (!broken.empty()) return broken;
    track();
    if (current_screen == Screen::menu) {
        guided_ = false;
        play_menu(present);
        return "";
    }
    menu_since_ = -1;
    if (guided_ && present >= guide_until_) {
        guided_ = false;
        // Each key goes on from where the guide left it, on its own habits.
        for (Key& key : keys_) {
            key.down = held_[key.code];
            key.until = present + (key.down ? between(key.hold_min, key.hold_max)
                                             : between(key.rest_min, key.rest_max));
        }
    }
    if (guided_) {
        follow_guide(present);
    } else {
        play_at_random(present);
    }
    return "";
}

// Two snapshots with every key up, so that only the monkey's own presses move the choice; then
// (half the time) the choice moved to "Exit Game" and back; then Return, on "Start Game".
void Monkey::play_menu(int present) {
    if (menu_since_ < 0) {
        menu_since_ = present;
        menu_start_at_ = present + between(7, 60);
        menu_moves_ = between(0, 1) == 1;
        release_all();
        return;
    }
    const int step = present - menu_since_;
    if (menu_moves_ && step >= 2 && step <= 5) {
        set(DIK_UP, step == 2);
        set(DIK_DOWN, step == 4);
    }
    if (present != menu_start_at_) return;
    ++counts_.games;
    // The guide holds exactly only for the first game: later games start with the hero as the last
    // game left it, so they soon part from it, and then play on at random anyway.
    if (!guide_.empty() && (counts_.games == 1 || between(0, 1) == 1)) {
        // The guide's game begins with its first Return; from here its moments are shifted to ours.
        auto start = std::find_if(guide_.begin(), guide_.end(), [](const auto& c) {
            return c.key == DIK_RETURN && c.down;
        });
        if (start != guide_.end()) {
            ++counts_.guided;
            guided_ = true;
            guide_offset_ = present - start->after_present;
            guide_next_ = static_cast<size_t>(start - guide_.begin());
            const int span = guide_.back().after_present - start->after_present;
            // The later of two draws: more stretches reach the later levels.
            guide_until_ = present + std::max(between(0, span + 300), between(0, span + 300));
            follow_guide(present);
            return;
        }
    }
    set(DIK_RETURN, true);
}

void Monkey::follow_guide(int present) {
    while (guide_next_ < guide_.size() &&
           guide_[guide_next_].after_present + guide_offset_ <= present) {
        const auto& change = guide_[guide_next_++];
        if (change.key < 256) set(change.key, change.down);
    }
}

void Monkey::play_at_random(int present) {
    for (Key& key : keys_) {
        if (present < key.until) continue;
        key.down = !key.down;
        key.until = present + (key.down ? between(key.hold_min, key.hold_max)
                                        : between(key.rest_min, key.rest_max));
        set(key.code, key.down);
    }
}

void Monkey::track() {
    const int screen = static_cast<int>(current_screen);
    if (screen != last_screen_) {
        if (current_screen == Screen::banner) {
            ++counts_.level_loads;
            if (game_state.level_index > last_level_) ++counts_.level_changes;
        }
        if (current_screen == Screen::game_over) ++counts_.game_overs;
    }
    if (current_screen == Screen::game) {
        counts_.deepest_level = std::max(counts_.deepest_level, game_state.level_index);
        last_level_ = game_state.level_index;
    }
    last_screen_ = screen;
    was_in_game_ = game_state.in_game;
    last_score_ = game_state.score;
}

std::string Monkey::check() {
    const GameState& g = game_state;
    if (g.lives < -1) return "lives below -1 (" + std::to_string(g.lives) + "): they wrapped";
    if (g.score < 0) return "score below 0 (" + std::to_string(g.score) + "): it wrapped";
    if (g.coins < 0) return "coins below 0 (" + std::to_string(g.coins) + "): they wrapped";
    if (was_in_game_ && g.in_game && g.score < last_score_)
        return "score fell during a game, from " + std::to_string(last_score_) + " to " +
               std::to_string(g.score);

    if (objects.count > objects.capacity || objects.count < 0 ||
        objects.capacity != static_cast<int32_t>(objects.entries.size()))
        return "count " + std::to_string(objects.count) + " outside the list's capacity " +
               std::to_string(objects.capacity);
    if (objects.count > 0) {
        const ObjectEntry& hero = objects.entries[0];
        if (hero.kind != KIND_PLAYER || hero.object != static_cast<Entity*>(&player))
            return "entry 0 is not the hero (kind " + std::to_string(hero.kind) + ")";
    }
    for (int32_t i = 1; i < objects.count; ++i) {
        const int16_t kind = objects.entries[i].kind;
        if (kind == KIND_PLAYER) return "entry " + std::to_string(i) + " is a second hero";
        if (!is_known_kind(kind))
            return "entry " + std::to_string(i) + " has unknown kind " + std::to_string(kind);
    }

    const TileMap& map = current_map;
    const int64_t cells = static_cast<int64_t>(map.map_width) * map.map_height;
    for (int64_t i = 0; i < cells; ++i) {
        const int32_t code = map.cell(i);
        // The game only ever empties a cell or makes it a spent block.
        if (code == TILE_EMPTY || code == TILE_HIDDEN || code == file_cells_.at(map, i)) continue;
        return "cell (" + std::to_string(i % map.map_width) + ", " +
               std::to_string(i / map.map_width) + ") holds " + std::to_string(code) +
               ", neither its code in the file nor one the game writes";
    }
    return "";
}
