// The game as one state advanced a present at a time: the title menu, the level banner (and the
// game-over screen), the level changes and play are phases of one flow, driven by one loop.
//
// game_step runs the game until it has shown one more picture. Everything between two presents
// runs in one step, in the order the game has always run it: a step begins with what the last
// picture left to do (the rest of a game frame: the world, its drawing, the exit keys; or the rest
// of a menu or banner pass), goes through whatever comes next, and ends with the next present. The
// program's loop, the headless runner, the solver and the tests all drive this one step, and a run
// stops by not asking for the next.
#pragma once

#include <cstdint>
#include <string>

// Where the flow stands: the next thing to run.
enum class Phase : uint8_t {
    turn,             // the top of the main loop: messages, then the menu or the level changes
    menu,             // a title menu pass, up to its present
    menu_keys,        // the rest of the menu pass: its keys and picture
    game_begins,      // the banner that a choice in the menu started is over
    banner,           // a banner pass, up to its present; once its time is up, what follows it
    banner_shown,     // the rest of the banner pass: its picture
    restart,          // the level changes: a lost hero's restart
    restarted,        // its banner is over
    next_level,       // the level changes: the next level
    next_level_shown, // its banner is over
    frame,            // a game frame, up to its present
    frame_shown,      // the rest of the game frame: the world, its drawing, the exit keys
    editor,           // a level editor pass: its input, its picture and its present
    ended,            // the program is to end
};

struct Flow {
    Phase phase = Phase::turn;
    Phase after_banner = Phase::turn;  // what the banner hands over to when it is done
    int32_t menu_choice = 0;           // 0 "Start Game", 1 "Exit Game"
    int32_t banner_end = 0;            // clock value (signed) at which the banner ends
    bool test_play = false;            // the game plays the level editor's level, and goes back
                                       // to the editor when the hero leaves it or is lost
};

extern Flow flow;

// Why a level change or restart failed (a map that can no longer be read); empty while all is well.
extern std::string level_load_error;

// What a phase did: handed over to another phase without presenting, presented, or ended the
// program. Each phase sets flow.phase to what runs next.
enum class Outcome { go_on, presented, end };

// Shows the picture drawn so far and opens the next (present_frame), then drains the window's
// messages: every present of the game, in every phase.
void show_picture();

// Runs the game up to and including its next present. False once the program is to end ("Exit
// Game", Escape, the left mouse button in play, a close request, or a level that could not be
// loaded: level_load_error then says why); nothing more is then presented.
bool game_step();

// Runs what the last present left to do (the rest of a game frame, a menu or a banner pass) and
// stops before anything presents again; the next step goes on from there. For tests and tools that
// look at the game between whole frames. False once the program is to end.
bool finish_step();

// Steps, finishing each step, until a game frame has run to its end, through whatever shows first
// (the title menu, a banner); false when the game ended instead. For the solver, benchmarks and
// tests, which think in game frames.
bool play_frame();

// Whether the steps draw their pictures. Off, every rule runs as it does with them on, to the same
// state, but no pixel is drawn: the solver plays that way, and brickrun-headless --no-pictures.
void set_drawing(bool on);
bool drawing();
