// The Windows sound device (winmm wave output), opened with the window and closed with the display.
#pragma once

namespace platform::win32 {

void sound_open();
void sound_close();

}  // namespace platform::win32
