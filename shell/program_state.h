// Every program-wide record of the game, listed once: the game state and the flow, the input
// snapshots and the devices' open flags, the pictures and the font, the screen's size, the map in
// play, the level's objects with the hero, and what the last frame left its drawing.
//
// Reset puts each record back to its value at program start, and a snapshot copies each and puts
// it back later, both from the one list in program_state.cpp: a record added there is reset and
// snapshotted alike, and one left out is left out of both. What the platform keeps (the clock, the
// device's settings, fixed at start-up, and the picture being drawn, cleared at every present) is
// not the game's and is in neither.
#pragma once

#include <functional>
#include <memory>
#include <vector>

// Every record back to its start, so a test or a headless run starts clean. Releases nothing (call
// shutdown first for that).
void reset_program_state();

// reset_program_state, then what happens before the entry proper, in this order: the first level's
// map is read, the hero is constructed, and the pace starts one millisecond in the past, so the
// first game frame never waits. False (with one line on stderr) when the map cannot be read.
bool init_program_state();

// A copy of every record, between two steps, that can be put back any number of times: the solver
// tries many futures from one moment. The map's cells and the level's objects are copied, not
// shared, so nothing played after the snapshot reaches it; pictures and the font are shared, as
// their textures live until shutdown.
class ProgramSnapshot {
public:
    // Copies every record now.
    static ProgramSnapshot take();
    // Puts every record back as it was when taken.
    void restore() const;

private:
    std::vector<std::function<void()>> restorers_;
};
