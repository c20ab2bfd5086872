// Sounds: an effect or a tune, from its text (the format is in platform/sound_text.h) to a 16-bit
// PCM mono WAV file at 48000 Hz, for listening to it without the game. The game makes the same
// samples from the same text when it starts.
#pragma once

#include <string_view>

#include "tools/assets/text.h"

namespace assets {

// The bytes of the WAV file, or the first fault in the source.
Compiled compile_sound(std::string_view source);

}  // namespace assets
