// What one world frame's rules leave for its drawing.
//
// The rules of a frame run first and its drawing after, reading only what the rules decided. Most
// of that the objects keep themselves (each notes what its picture shows this frame); this record
// keeps the rest: the entries the per-frame pass reached, in list order (an enemy the pass removes
// from the list is still drawn that frame), and the pipe triggers the hero's contacts tested, in the
// order tested (each test shows the trigger in the next colour of the debug cycle). The lists are
// emptied at the start of a frame's rules and read by the same frame's drawing.
#pragma once

#include "world/geometry.h"
#include "world/object_list.h"

#include <cstdint>
#include <vector>

struct FrameRecord {
    std::vector<ObjectEntry> ticked;
    std::vector<Rect> tested_triggers;
    uint64_t trigger_tests = 0;  // every test so far, this frame's included: the colour cycle's place
};

extern FrameRecord frame_record;
