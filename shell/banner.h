// The level banner and the game-over screen.
#pragma once

// Shows for 3.3 seconds of clock time either the level number and the lives left or, once the lives
// are gone, "Game Over" with the score; the game-over screen sends the frame loop back to the menu.
void show_level_banner();
