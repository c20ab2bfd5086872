// The shape of the world step: every game frame, 32 movement sub-steps over the object list, then
// one pass in which every object does its once-a-frame logic.
//
// In a sub-step each moving object advances at most one pixel per axis, which keeps every collision
// test a question about the next pixel. A pass re-reads the list's count after every entry, so
// objects appended during it (a coin out of a block) take part in the rest of the same pass. The
// passes take what they call for an entry as parameters: the world in play (play/world.h) hands
// them the classes' own step and tick, and a test can hand them a recorder.
#pragma once

#include "world/object_list.h"

#include <cstdint>

// While set, no sub-steps run; the per-frame pass still does (the hero's animations clear it).
extern bool world_frozen;

// Whether an object moving at v pixels per frame moves one pixel on sub-step i: on the sub-steps
// in [k * p, k * p + 1) for p = sub_steps / v, so about |v| moves per frame, evenly spread, always
// including sub-step 0. Any non-zero speed below 1 still moves once a frame.
bool moves_on_substep(int32_t i, float v);

// What a pass calls for one entry.
struct WorldCalls {
    void (*step)(const ObjectEntry& entry, int32_t sub_step);
    void (*tick)(const ObjectEntry& entry);
};
// Sub-steps (unless frozen) then the per-frame pass, over a list.
void run_world_step(ObjectList& list, const WorldCalls& calls);
// The per-frame pass: hero, enemies and items always; blocks only when on screen.
void run_world_frame(ObjectList& list, const WorldCalls& calls);
