#include "platform/sound_tune.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>

namespace platform::sound {
namespace {

// A note as it falls in the tune: from which sample, for how many, at which pitch.
struct Note {
    size_t start, count;
    int note;
    const std::vector<float>* drawn = nullptr;  // once found among the kept notes
};

// Every note starts its wave afresh, so a note drawn once is the same wherever it comes again; a
// tune is mostly notes that come again, and adding a drawn note costs a fraction of drawing it.
// Notes up to a second long are kept, up to 8 MB of them; longer ones, and any past that, are
// drawn as they sound: what a source can make this hold stays small.
struct Kept {
    static constexpr size_t longest = sample_rate;
    static constexpr size_t budget = 2 * 1024 * 1024;  // samples
    std::map<std::tuple<size_t, int, size_t>, std::vector<float>> notes;  // by voice, note, length
    size_t held = 0;
};

struct Playing {
    const Voice* voice = nullptr;
    size_t index = 0;             // of the voice in the tune
    std::vector<Note> notes;      // in order; one voice plays one note at a time
    size_t next = 0;              // the first that may still sound
    std::optional<synth::Oscillator> live;  // drawing a note that is not kept, stretch by stretch
    size_t live_note = 0;
    std::bitset<highest_note + 1> played;
};

double hz_of(int note) { return 440.0 * std::exp2((note - 69) / 12.0); }

// Lists a run's notes from `units` on, its phrases played out.
void list(const Run& run, const Tune& tune, int shift, int64_t& units, Playing& playing) {
    for (const Item& item : run.items) {
        if (item.phrase >= 0) {
            list(tune.phrases[static_cast<size_t>(item.phrase)].run, tune, shift + item.shift, units, playing);
            continue;
        }
        const size_t start = sample_at(units, tune.tempo);
        units += item.units;
        if (item.note == 0) continue;
        playing.notes.push_back({start, sample_at(units, tune.tempo) - start, item.note + shift});
        playing.played.set(static_cast<size_t>(item.note + shift));
    }
}

// Adds what note i of a voice plays in samples [from, to) to `out`, which holds sample `from` first.
void add(Playing& p, size_t i, size_t from, size_t to, float* out, Kept& kept) {
    Note& n = p.notes[i];
    const Voice& v = *p.voice;
    if (!n.drawn && n.count <= Kept::longest && kept.held + n.count <= Kept::budget) {
        auto [at, added] = kept.notes.try_emplace({p.index, n.note, n.count});
        if (added) {
            at->second.assign(n.count, 0.0f);
            synth::Oscillator(v.wave).note(at->second.data(), 0, n.count, n.count, hz_of(n.note), v.level,
                                           v.fall, fade_samples);
            kept.held += n.count;
        }
        n.drawn = &at->second;
    }
    if (n.drawn) {
        const float* samples = n.drawn->data() + (from - n.start);
        for (size_t k = 0; k < to - from; ++k) out[k] += samples[k];
        return;
    }
    if (!p.live || p.live_note != i) {
        p.live.emplace(v.wave);
        p.live_note = i;
    }
    p.live->note(out, from - n.start, to - n.start, n.count, hz_of(n.note), v.level, v.fall, fade_samples);
}

}  // namespace

size_t sample_at(int64_t units, int tempo) {
    return static_cast<size_t>((units * 180000 * 2 + tempo) / (2 * tempo));
}

void to_sixteen_bits(const float* in, int16_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        // Moved up by half the range and clamped there, a sample is rounded by truncating a
        // positive number; written so, the loop runs four samples at a time.
        float x = in[i] * 32767.0f + 32768.5f;
        x = x > 1.5f ? x : 1.5f;
        x = x < 65535.5f ? x : 65535.5f;
        out[i] = static_cast<int16_t>(static_cast<uint16_t>(static_cast<int32_t>(x)) ^ 0x8000u);
    }
}

std::vector<int16_t> play_tune(const Tune& tune, std::vector<VoiceNotes>& voices) {
    std::vector<Playing> playing;
    int64_t longest = 0;
    for (const Voice& v : tune.voices) {
        Playing& p = playing.emplace_back();
        p.voice = &v;
        p.index = playing.size() - 1;
        int64_t units = 0;
        list(v.run, tune, 0, units, p);
        longest = std::max(longest, units);
        VoiceNotes notes;
        for (int n = highest_note; n >= lowest_note; --n) {
            if (!p.played[static_cast<size_t>(n)]) continue;
            notes.lowest = n;
            notes.highest = std::max(notes.highest, n);
            ++notes.different;
        }
        voices.push_back(notes);
    }
    // Stretch by stretch, every voice summed in a buffer that stays in the cache, then made 16-bit:
    // the whole tune is never held but as its samples.
    std::vector<int16_t> out(sample_at(longest, tune.tempo));
    Kept kept;
    std::array<float, 4096> mixed;
    for (size_t begin = 0; begin < out.size(); begin += mixed.size()) {
        const size_t end = std::min(out.size(), begin + mixed.size());
        std::fill(mixed.begin(), mixed.end(), 0.0f);
        for (Playing& p : playing) {
            while (p.next < p.notes.size() && p.notes[p.next].start + p.notes[p.next].count <= begin) ++p.next;
            for (size_t i = p.next; i < p.notes.size() && p.notes[i].start < end; ++i) {
                const size_t from = std::max(begin, p.notes[i].start);
                const size_t to = std::min(end, p.notes[i].start + p.notes[i].count);
                add(p, i, from, to, mixed.data() + (from - begin), kept);
            }
        }
        to_sixteen_bits(mixed.data(), out.data() + begin, end - begin);
    }
    return out;
}

}  // namespace platform::sound
