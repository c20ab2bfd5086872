// A tune as its text describes it, and the drawing of it: the sound text reader (sound_text.cpp)
// fills a Tune, play_tune makes it into samples. Inside the sound library only.
#pragma once

#include "platform/sound_text.h"
#include "platform/synth.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform::sound {

constexpr size_t fade_samples = sample_rate * 4 / 1000;
constexpr int lowest_note = 12, highest_note = 119;  // C0 and B8, counted as MIDI does (A4 69)
constexpr int units_per_whole = 64;                  // a note's length in 64ths of a whole note

// One word of a notes line: a note, a rest, or a phrase moved by some semitones.
struct Item {
    int note = 0;  // lowest_note to highest_note; 0 for a rest or a phrase
    int units = 0;
    int phrase = -1;
    int shift = 0;
};

// The items of a phrase or a voice, how long they last, and the lowest and highest notes in them.
struct Run {
    std::vector<Item> items;
    int64_t units = 0;
    int low = highest_note + 1, high = lowest_note - 1;
    int depth = 1;
};

struct Phrase {
    std::string name;
    Run run;
};

struct Voice {
    synth::Wave wave;
    float level, fall;
    Run run;
};

struct Tune {
    int tempo = 0;
    std::deque<Phrase> phrases;  // a deque: `open` points into these as more are added
    std::deque<Voice> voices;
    int64_t voice_units = 0;  // of all the voices together
    Run* open = nullptr;      // where notes lines go
    bool open_is_phrase = false;
};

// Where a time in 64ths falls, in samples: rounded, so that a tempo that does not divide the
// sample rate still keeps every voice on the same beat.
size_t sample_at(int64_t units, int tempo);

// Every voice drawn and summed, in 16 bits; what each voice played goes into `voices`.
std::vector<int16_t> play_tune(const Tune& tune, std::vector<VoiceNotes>& voices);

// Samples of full scale 1 in 16 bits, rounded and clamped.
void to_sixteen_bits(const float* in, int16_t* out, size_t count);

}  // namespace platform::sound
