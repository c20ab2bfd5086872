// The game's sounds are text, made into samples when the game starts (and by brickrun-assets sound,
// to listen to one): 16-bit mono at 48000 Hz.
//
// An effect is a list of segments played one after another:
//
//   effect
//   square 30 400 700 50 40     WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME
//   noise 80 3000 1000 40 0     pitch and volume (percent) slide straight from the first to the last
//   rest 20                     silence
//
// A tune is voices played together, and loops:
//
//   tune
//   tempo 140                   quarter notes per minute, once, before everything below
//   phrase hook                 a named run of notes, used by name in the notes lines after it
//   notes C5:4 E5:8 -:8 G#4:2   NOTE:LENGTH (1 whole, 2 half, 4 quarter, 8, 16, 32; a dot adds
//                               half), '-' a rest; notes lines go on until the next phrase or voice
//   voice pulse25 12 400        WAVE VOLUME [FALL]: a voice; FALL, in milliseconds, makes each
//                               note's level halve that often (a plucked note), else notes are held
//   notes hook hook+5 C5:2      a phrase by name, or moved up (+N) or down (-N) N semitones
//
// Waves: square, pulse25, pulse12 (high a half, a quarter, an eighth of each period), triangle,
// noise (a hiss stepped at the pitch); a volume is the wave's height, 100 the full scale. Every note
// starts and ends with a 4 ms fade, and so does an effect, so nothing clicks, and a tune loops
// cleanly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::sound {

constexpr int sample_rate = 48000;
// What one source may ask for: an effect is short, a tune long enough to play for a while
// without repeating, and neither more than that, whatever the text says. What a tune costs to make
// grows with its voices' time together, so that is capped too.
constexpr int max_effect_ms = 10000;
constexpr int max_tune_ms = 120000;
constexpr int max_voice_ms = 360000;
constexpr int max_voices = 8;
constexpr int max_phrase_depth = 16;

// What a tune's voice plays: its lowest and highest notes (MIDI numbers, A4 is 69) and how many
// different notes.
struct VoiceNotes {
    int lowest = 0, highest = 0, different = 0;
};

struct Made {
    std::vector<int16_t> samples;
    bool tune = false;
    std::vector<VoiceNotes> voices;
    // The first fault in the source, at its 1-based line and column; empty when there is none,
    // and then there are samples.
    std::string error;
    int line = 0, column = 0;
};

Made make(std::string_view source);

}  // namespace platform::sound
