// The level editor as a phase of the one loop, and test-play, which runs the game's own frames on
// the editor's level and comes back.
#pragma once

#include "shell/flow.h"

#include <string>

// Opens the level at `path` in the editor (empty: a new level) and makes the editor the phase the
// loop runs. False, with one line in error, when the level cannot be read.
bool begin_editing(const std::string& path, std::string& error);

// Phase::editor: one pass of the editor up to its present. T starts test-play at once: the game's
// first picture of it is drawn here and shown by the frame that follows, with no banner between.
Outcome run_editor();

// Test-play is over (Escape, the hero lost or gone down the exit pipe): the editor comes next, in
// the same step.
Outcome end_test_play();
