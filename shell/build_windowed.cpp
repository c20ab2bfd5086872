// The one build choice the game has: compiled into each program with BUILD_WINDOWED set by the
// build, 1 for the windowed game (and the headless runner, the solver and the tests), 0 for the
// full-screen one.
#include "shell/entry.h"

#ifndef BUILD_WINDOWED
#error "BUILD_WINDOWED must be 1 (windowed) or 0 (full screen)"
#endif

const bool build_windowed = BUILD_WINDOWED;
