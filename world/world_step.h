// The world step: every game frame, 32 movement sub-steps over the object list, then one pass in
// which every object does its once-a-frame logic and draws itself.
//
// In a sub-step each moving object advances at most one pixel per axis, which keeps every collision
// test a question about the next pixel. Dispatch is by the kind stored beside each object. A pass
// re-reads the list's count after every entry, so objects appended during it (a coin out of a
// block) take part in the rest of the same pass. Drawing happens in the per-frame pass, so objects
// are drawn in list order, the hero first.
#pragma once

#include "world/object_list.h"

#include <cstdint>

// While set, no sub-steps run; the per-frame pass still does (the hero's animations clear it).
extern bool world_frozen;

// Whether an object moving at v pixels per frame moves one pixel on sub-step i: on the sub-steps
// in [k * p, k * p + 1) for p = sub_steps / v, so about |v| moves per frame, evenly spread, always
// including sub-step 0. Any non-zero speed below 1 still moves once a frame.
bool moves_on_substep(int32_t i, float v);

void world_step();
void world_frame();

// What a pass calls for one entry. world_step and world_frame use the classes' own step and tick;
// the passes take them as parameters so their visiting rules can be checked on their own.
struct WorldCalls {
    void (*step)(const ObjectEntry& entry, int32_t sub_step);
    void (*tick)(const ObjectEntry& entry);
};
// Sub-steps (unless frozen) then the per-frame pass, over a list.
void run_world_step(ObjectList& list, const WorldCalls& calls);
// The per-frame pass: hero, enemies and items always; blocks only when on screen.
void run_world_frame(ObjectList& list, const WorldCalls& calls);
