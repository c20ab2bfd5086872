// Program-wide state back to its start, so a test or a headless run starts clean.
#pragma once

// Every program-wide record to its initial value: game state, input, pictures and the record of
// those reported missing, font, screen size, the object list, the map in play, the quit flag.
// Releases nothing (call shutdown first for that).
void reset_program_state();

// reset_program_state, then what happens before the entry proper, in this order: the first level's
// map is read, the hero is constructed, and the pace starts one millisecond in the past, so the
// first game frame never waits. False (with one line on stderr) when the map cannot be read.
bool init_program_state();
