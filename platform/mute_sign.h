// While the sound is off (M, --mute) the window shows it: a small crossed-out loudspeaker in the top
// right corner of the picture, clear of the heads-up display. The game's own picture stays as it
// drew it; the sign goes on a copy that only the window shows, so the headless runner, its
// screenshots and every recording are the same muted or not.
#pragma once

#include <cstdint>

namespace platform {

// The picture to show: `picture` itself while the sound is on, else a copy of it with the sign.
const uint32_t* with_mute_sign(const uint32_t* picture, int width, int height);

}  // namespace platform
