#include "shell/game_state.h"

GameState game_state;
