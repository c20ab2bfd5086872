// The level banner and the game-over screen: for 3.3 seconds of clock time, one pass a present,
// either the level number and the lives left or, once the lives are gone, "Game Over" with the
// score; the game-over screen sends the game back to the title menu.
#pragma once

#include "shell/flow.h"

// The banner's time starts now, with its sound; once it is over the flow goes on to `after`.
void start_level_banner(Phase after);
// Phase::banner: one pass up to its present, or, once the time is up, on to what follows.
Outcome show_level_banner();
// Phase::banner_shown: the rest of the pass: its keys or the game's end, and its picture.
Outcome draw_level_banner();
