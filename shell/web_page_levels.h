// The page's levels: the level editor as the page runs it (its Save button, the saved level handed
// to the player as a download, its text for a link, unsaved work kept by the browser), and a
// level a link carries, played as a pack of one.
#pragma once

#include <string>

// Opens the level at `path` in the running editor (a new level when there is none) in place of
// the open one, ending test-play first. False, with one line in error and the open level kept,
// when the level cannot be read.
bool switch_editor_level(const std::string& path, std::string& error);

// After every step: tells the page whether the editor runs, and hands each new save of its level
// to the page as a download.
void after_page_step();
