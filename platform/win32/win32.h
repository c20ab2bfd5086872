// What the parts of the Windows backend share: the game window they draw into and read input for.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace platform::win32 {

// The one game window, null before backend::window_create.
HWND main_window();

// Whether the window shows a full-screen Direct3D device, which places and sizes it itself.
bool display_full_screen();

// Asks for a switch between the window and full screen (F11, Alt+Return), made before the next
// picture is shown.
void ask_screen_switch();

// Gives the window the bare look of a full-screen device's, or back its frame and a client area of
// the picture's size, where it was before it went full screen.
void dress_window(bool full_screen);

}  // namespace platform::win32
