// The world in play: each game frame, its rules and then its drawing.
//
// world_step moves everything in the world step's sub-steps and ticks every object once in list
// order, dispatching by the kind stored beside each object; it draws nothing. draw_world then draws
// the frame as the rules left it: the pipe triggers the hero's contacts tested (in the debug
// colours) and every object the pass reached, in list order, the hero first. Only the drawing
// reads what the rules decided, so the rules run the same with the drawing left out.
#pragma once

void world_step();
void draw_world();
