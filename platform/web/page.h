// What the browser backend's files tell each other (not for the game, nor for the page's loop).
#pragma once

namespace platform::web {

// Lets go of every key: the page lost the keyboard (another window, another tab).
void release_all_keys();
// Registers the key, focus and touch handlers (once the game's window exists).
void watch_keys();

// Registers the mouse handlers of the canvas; lets go of its buttons.
void watch_pointer();
void release_pointer();
// Whether the level editor runs (set_editing in web.h): it takes more keys than the game.
bool editing_now();

// Stops or starts the sound with the page (hidden, shown).
void pause_sound(bool paused);

}  // namespace platform::web
