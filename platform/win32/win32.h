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

}  // namespace platform::win32
