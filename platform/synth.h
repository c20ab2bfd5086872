// The tones the game's sounds are made of, drawn band-limited at 48000 Hz.
//
// A square, pulse or triangle wave drawn naively (+1 or -1 by its phase) has harmonics far past
// half the sample rate, and they fold back as inharmonic whistles under every note. Here each wave
// is read from a table that holds only the harmonics below 15 kHz for its pitch: one table per
// third of an octave, made once by an inverse FFT, read with linear interpolation. Whatever the
// pitch, nothing is drawn near or above 16 kHz. Noise is a 15-bit shift register stepped at the
// tone's pitch, drawn as straight lines between its steps rather than as steps, which keeps its
// hiss without the top octave's fizz.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::synth {

constexpr int sample_rate = 48000;
// The highest harmonic any table holds.
constexpr double top_hz = 15000;

enum class Wave : uint8_t {
    square,    // high half of each period
    pulse25,   // high a quarter of each period: thinner, brighter
    pulse12,   // high an eighth: reedy
    triangle,  // soft, mostly its fundamental
    noise,
};

// One voice's wave and where it is in its period, carried on from call to call so that a sound's
// segments join without a click.
class Oscillator {
public:
    explicit Oscillator(Wave wave) : wave_(wave) {}
    // Another wave from where this one is in its period.
    void set_wave(Wave wave) { wave_ = wave; }

    // Adds `count` samples to `out`: the pitch slides straight from from_hz to to_hz and the level
    // (1 the wave's full height) from from_level to to_level.
    void slide(float* out, size_t count, double from_hz, double to_hz, float from_level,
               float to_level);

    // Adds samples [from, to) of a note of one pitch, `count` samples long, to `out` (which holds
    // sample `from` first): it rises from silence over its first `fade` samples, falls back to it
    // over its last `fade`, and between those its level is multiplied by `fall` at every sample (1
    // holds it steady). Called for stretches one after another, it draws the note whole.
    void note(float* out, size_t from, size_t to, size_t count, double hz, float level, float fall,
              size_t fade);

private:
    template <class Level>
    void draw(float* out, size_t count, double hz, Level level);

    Wave wave_;
    uint32_t phase_ = 0;       // a whole period is 2^32
    uint16_t register_ = 1;    // the noise's shift register
    float noise_from_ = 0, noise_to_ = 1;  // the line the noise draws in this step
};

}  // namespace platform::synth
