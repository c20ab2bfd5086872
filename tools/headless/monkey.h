// The monkey: random play for soaking the whole game, with the game's invariants checked after
// every present.
//
// It holds keys the way a player does (a run held for seconds, a jump tapped, slow motion now and
// then), from a seed, so a run is the same every time. It never presses Escape or the mouse button:
// only the title menu's own choice could end the program, and the monkey starts a game there every
// time. Random keys alone seldom leave the first level, so it may follow a guide (a recorded clear
// of the whole game) from the menu for a random stretch and play on at random from wherever that
// leaves it: later levels, restarts and game overs all come up.
#pragma once

#include "platform/headless/headless.h"
#include "tools/headless/file_cells.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Monkey {
public:
    Monkey(uint64_t seed, std::vector<platform::headless::InputChange> guide);

    // At every present, from the present hook: checks the invariants, then sets the keys the
    // snapshots after this present read. Returns the invariant that does not hold, or "".
    std::string on_present(int present);

    // What the run went through, for the summary line.
    struct Counts {
        int games = 0;            // games started from the menu
        int guided = 0;           // of which followed the guide for a stretch
        int level_loads = 0;      // banners shown: new games, restarts and level changes
        int level_changes = 0;    // of which through a pipe
        int deepest_level = 0;    // the highest level_index seen in play
        int game_overs = 0;
    };
    const Counts& counts() const { return counts_; }

private:
    struct Key {
        int code;
        int hold_min, hold_max;  // presents a press lasts
        int rest_min, rest_max;  // presents between presses
        bool down = false;
        int until = 0;           // the present at which it changes next
    };

    std::string check();
    void track();
    void play_menu(int present);
    void play_at_random(int present);
    void follow_guide(int present);
    void release_all();
    void set(int code, bool down);

    uint64_t next();
    int between(int low, int high);  // inclusive

    uint64_t state_;
    std::vector<platform::headless::InputChange> guide_;
    std::vector<Key> keys_;
    std::array<bool, 256> held_{};

    // The menu: keys let go for two snapshots, the choice moved away and back, then Return.
    int menu_since_ = -1;  // the first present of this visit, -1 outside the menu
    int menu_start_at_ = 0;
    bool menu_moves_ = false;

    // Following the guide: its presents plus offset are ours; it is left at present guide_until_.
    bool guided_ = false;
    int guide_offset_ = 0;
    int guide_until_ = 0;
    size_t guide_next_ = 0;

    // For the checks.
    FileCells file_cells_;
    int last_score_ = 0;
    bool was_in_game_ = false;
    int last_screen_ = -1;
    int last_level_ = 0;  // level_index in the last game frame
    Counts counts_;
};
