#include "platform/sound_tune.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <map>
#include <utility>

namespace platform::sound {
namespace {

// A voice's notes as drawn, by pitch and length. Every note starts its wave afresh, so one drawn
// once is the same wherever it comes again; a tune is mostly notes that come again, and adding a
// drawn note costs a fraction of drawing it. Long notes, and notes past the budget, are drawn
// each time: what a source can make this hold stays small.
struct Drawn {
    static constexpr size_t longest = sample_rate;       // a second
    static constexpr size_t budget = 2 * 1024 * 1024;    // samples, 8 MB
    std::map<std::pair<int, size_t>, std::vector<float>> notes;
    size_t held = 0;
    std::bitset<highest_note + 1> played;
};

void add_note(const Voice& voice, int note, float* out, size_t count, Drawn& drawn) {
    const double hz = 440.0 * std::exp2((note - 69) / 12.0);
    if (count > Drawn::longest || drawn.held + count > Drawn::budget) {
        synth::Oscillator(voice.wave).note(out, count, hz, voice.level, voice.fall, fade_samples);
        return;
    }
    auto [at, added] = drawn.notes.try_emplace({note, count});
    std::vector<float>& samples = at->second;
    if (added) {
        samples.assign(count, 0.0f);
        synth::Oscillator(voice.wave).note(samples.data(), count, hz, voice.level, voice.fall, fade_samples);
        drawn.held += count;
    }
    for (size_t i = 0; i < count; ++i) out[i] += samples[i];
}

// Draws a run's notes from `units` on, its phrases played out.
void play(const Run& run, const Tune& tune, const Voice& voice, int shift, int64_t& units,
          std::vector<float>& out, Drawn& drawn) {
    for (const Item& item : run.items) {
        if (item.phrase >= 0) {
            play(tune.phrases[static_cast<size_t>(item.phrase)].run, tune, voice, shift + item.shift,
                 units, out, drawn);
            continue;
        }
        const size_t start = sample_at(units, tune.tempo);
        units += item.units;
        if (item.note == 0) continue;
        add_note(voice, item.note + shift, out.data() + start, sample_at(units, tune.tempo) - start, drawn);
        drawn.played.set(static_cast<size_t>(item.note + shift));
    }
}

}  // namespace

size_t sample_at(int64_t units, int tempo) {
    return static_cast<size_t>((units * 180000 * 2 + tempo) / (2 * tempo));
}

std::vector<float> play_tune(const Tune& tune, std::vector<VoiceNotes>& voices) {
    int64_t longest = 0;
    for (const Voice& v : tune.voices) longest = std::max(longest, v.run.units);
    std::vector<float> mixed(sample_at(longest, tune.tempo), 0.0f);
    for (const Voice& v : tune.voices) {
        int64_t units = 0;
        Drawn drawn;
        play(v.run, tune, v, 0, units, mixed, drawn);
        VoiceNotes notes;
        for (int n = highest_note; n >= lowest_note; --n) {
            if (!drawn.played[static_cast<size_t>(n)]) continue;
            notes.lowest = n;
            notes.highest = std::max(notes.highest, n);
            ++notes.different;
        }
        voices.push_back(notes);
    }
    return mixed;
}

}  // namespace platform::sound
