// The title menu, one pass a present: the title picture, "Start Game" and "Exit Game" with the
// cursor. Up or Down moves the cursor, Space or Return chooses (held, not newly pressed), Escape
// quits. "Start Game" shows the first level's banner, and the game begins after it.
#pragma once

#include "shell/flow.h"

// Phase::menu: a new game's score and small hero, the menu's tune, the present.
Outcome show_title_menu();
// Phase::menu_keys: the keys, the picture (drawn before the keys act), the choice.
Outcome run_title_menu();
// Phase::game_begins: the game is on once the banner is over; Escape still quits.
Outcome enter_game();

// "Start Game": three lives, then the first level's banner.
void begin_game();
// A game begun without the title menu (a level a page's link carries), with the score and the
// small hero the menu gives every new game; after it, the title menu as ever.
void begin_game_at_once();
