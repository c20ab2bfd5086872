// What the browser backend's files tell each other (not for the game, nor for the page's loop).
#pragma once

namespace platform::web {

// Lets go of every key: the page lost the keyboard (another window, another tab).
void release_all_keys();
// Registers the key, focus and touch handlers (once the game's window exists).
void watch_keys();

// Stops or starts the sound with the page (hidden, shown).
void pause_sound(bool paused);

}  // namespace platform::web
