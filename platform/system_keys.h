// The keys that belong to the program, not to the game: Alt+F4 closes the window, Alt+Return and
// F11 switch between the window and full screen, F10 between filling the screen and whole multiples,
// M switches the sound off and on. Where the system never sees them, because DirectInput holds the
// keyboard for the game alone, they are read from the key snapshots the game takes anyway, so
// nothing is read that a recording would have to hold. Each acts once as it goes down; the Return of
// an Alt+Return is kept from the game until it is let go, as the menu would take it for a choice.
#pragma once

#include <cstdint>

namespace platform {

struct SystemKeys {
    bool close = false;           // Alt+F4
    bool switch_screen = false;   // Alt+Return, F11
    bool switch_scaling = false;  // F10
    bool switch_sound = false;    // M
};

class SystemKeyReader {
public:
    // What went down since the last snapshot looked at, and `keys` (DirectInput codes, 0x80 while
    // held) as the game is to get them.
    SystemKeys look(uint8_t keys[256]);
    // After snapshots that could not be taken (the focus was in another window) a key found held
    // went down for that window, not the game: each key acts again only once it has been seen up.
    void lost_sight();

private:
    bool alt_f4_ = false, alt_return_ = false, f11_ = false, f10_ = false, m_ = false;
    bool return_held_back_ = false;
};

}  // namespace platform
