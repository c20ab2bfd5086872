// The programs brickrun and brickrun-fs: the same game, built windowed or full screen.
#include "shell/entry.h"

#ifndef BUILD_WINDOWED
#error "BUILD_WINDOWED must be 1 (windowed) or 0 (full screen)"
#endif

const bool build_windowed = BUILD_WINDOWED;

int main() { return win_main(); }
