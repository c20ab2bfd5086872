// Start-up and shutdown: from an empty process to the first frame, and the releases at the end.
#pragma once

// Puts the hero first in the object list, creates the graphics device, loads the pictures and the
// font, populates the level and opens the mouse and the keyboard, in that order. False (nothing
// else done) when the graphics device cannot be created.
bool startup();

// Releases the pictures, the font, the keyboard, the mouse and the device, in that order.
void shutdown();
