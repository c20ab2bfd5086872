// Sounds: effects and tunes written as text, compiled to 16-bit PCM mono WAV files at 48000 Hz.
//
// An effect is a list of segments played one after another:
//
//   effect
//   square 30 400 700 50 40     WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME
//   noise 80 3000 1000 40 0     pitch and volume (percent) slide straight from the first to the last
//   rest 20                     silence
//
// A tune is one or more voices played together, each a list of notes, and loops:
//
//   tune
//   tempo 140                   quarter notes per minute
//   voice square 12             WAVE VOLUME: a new voice; its notes follow
//   notes C5:4 E5:8 -:8 G#4:2   NOTE:LENGTH (1 whole, 2 half, 4 quarter, 8, 16; a dot adds half),
//                               '-' a rest; notes lines go on until the next voice
//
// Waves: square, triangle, noise (a 15-bit shift register stepped at the pitch). Every note starts
// and ends with a 4 ms fade, so notes and the loop join without a click.
#pragma once

#include <string_view>

#include "tools/assets/text.h"

namespace assets {

inline constexpr int kSampleRate = 48000;  // platform::wav_sample_rate
inline constexpr int kMaxSoundMilliseconds = 120000;  // two minutes, effect or tune

// The bytes of the WAV file, or the first error in the source.
Compiled compile_sound(std::string_view source);

}  // namespace assets
