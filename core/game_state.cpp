#include "core/game_state.h"

GameState game_state;

Screen current_screen = Screen::menu;

bool quit_requested = false;
