// Recording and replaying what the game reads across platform.h.
//
// Every read the game makes (keyboard and mouse snapshots, clock readings, sleeps and frame waits,
// messages, whether the window, display, keyboard and mouse opened) passes through here on its way
// from the backend. While recording, each is written to a file as it happens; while replaying, the
// backend is not asked at all and the game gets the recorded values instead, so it reaches the same
// state frame for frame. With neither, every call goes straight to the backend.
#pragma once

#include <string>

namespace platform::replay {

// Starts recording into path. False with error when the file cannot be written.
bool record_to(const std::string& path, std::string& error);
// Ends the recording: the end marker says whether the game ended by itself or the run was cut off.
// False with error when the file could not be written in full.
bool finish_recording(bool game_over, std::string& error);

// Opens a recording and checks all of it; from then on the game reads from it. False with error
// (without the file name) for a file that cannot be replayed.
bool replay_from(const std::string& path, std::string& error);
// After the game ended by itself: false with error unless the recording ends there too.
bool finish_replay(std::string& error);

// The replay has handed out every event of a recording that was cut off (by a present limit): the
// recorded run stopped here, and the one replaying it stops here too.
bool at_cut_end();

// The replay can give nothing more: it ran into the end of a cut recording in the middle of a step,
// or the recording and the game are out of step, or the file changed under the replay. From then on
// every read answers as a failed read would (no keys, no messages, the clock standing still), and
// whoever drives the game stops after the step it is in. `broken` says why, or is empty for a cut
// recording's end.
bool stopped();
const std::string& broken();

// Stops recording and replaying without writing anything, for a fresh start in tests.
void reset();

}  // namespace platform::replay

namespace platform {
// The shared device opens the backend's display through this, so that its result is recorded.
bool display_open(int width, int height, bool windowed);
}  // namespace platform
