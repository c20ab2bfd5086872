#include "platform/synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace platform::synth {
namespace {

constexpr int table_bits = 11;
constexpr uint32_t table_size = 1u << table_bits;  // samples in one period
constexpr int phase_shift = 32 - table_bits;
constexpr float phase_fraction = 1.0f / static_cast<float>(1u << phase_shift);
constexpr double lowest_hz = 16;  // the first band starts here; lower pitches share it
constexpr int bands_per_octave = 3;
constexpr int band_count = 32;    // up to 16 Hz * 2^(32/3), past the highest pitch a sound may ask
constexpr int wave_tables = 4;    // every wave but noise
// Samples between two choices of table while a pitch slides.
constexpr size_t slide_block = 32;

using Table = std::array<float, table_size + 1>;  // the last repeats the first, for interpolation

// The wave's Fourier series, x(t) = sum of a_h cos(2 pi h t) + b_h sin(2 pi h t), without its
// constant part: a pulse high a fraction `duty` of its period, or the triangle.
std::complex<double> harmonic(int wave, int h) {
    const double pi = std::numbers::pi;
    if (static_cast<Wave>(wave) == Wave::triangle)
        return h % 2 == 1 ? 8 / (pi * pi * h * h) : 0.0;
    constexpr double duties[] = {0.5, 0.25, 0.125};
    const double angle = 2 * pi * h * duties[wave];
    return {2 * std::sin(angle) / (pi * h), 2 * (1 - std::cos(angle)) / (pi * h)};
}

// In place: x[n] = sum over k of X[k] e^(2 pi i k n / N).
void inverse_fft(std::vector<std::complex<double>>& x) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, 2 * std::numbers::pi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> a = x[start + k], b = x[start + k + length / 2] * w;
                x[start + k] = a + b;
                x[start + k + length / 2] = a - b;
                w *= step;
            }
        }
    }
}

struct Tables {
    std::array<std::array<Table, band_count>, wave_tables> of;

    // Band b serves pitches from lowest_hz * 2^(b/3) up to the next band: it holds the harmonics
    // that stay below top_hz at the top of that range, the upper ones tapered off so that moving
    // between bands changes the tone by little. Two bands are made in each transform, one as its
    // real part and one as its imaginary part.
    Tables() {
        std::vector<std::complex<double>> spectrum(table_size);
        for (int wave = 0; wave < wave_tables; ++wave) {
            for (int band = 0; band < band_count; band += 2) {
                std::fill(spectrum.begin(), spectrum.end(), 0.0);
                for (int part = 0; part < 2; ++part) {
                    const std::complex<double> as_part = part == 0 ? 1.0 : std::complex<double>(0, 1);
                    const double band_top = lowest_hz * std::exp2((band + part + 1.0) / bands_per_octave);
                    const int harmonics = std::min(static_cast<int>(top_hz / band_top),
                                                   static_cast<int>(table_size / 2 - 1));
                    for (int h = 1; h <= harmonics; ++h) {
                        // Full strength to 70% of top_hz, then a half cosine down to nothing.
                        const double x = std::max(0.0, (h * band_top / top_hz - 0.7) / 0.3);
                        const double taper = x >= 1 ? 0 : 0.5 + 0.5 * std::cos(std::numbers::pi * x);
                        const std::complex<double> c = harmonic(wave, h) * taper;
                        // cos and sin parts as one complex pair, each half on either side.
                        spectrum[h] += as_part * std::complex<double>(c.real(), -c.imag()) * 0.5;
                        spectrum[table_size - h] += as_part * std::complex<double>(c.real(), c.imag()) * 0.5;
                    }
                }
                inverse_fft(spectrum);
                fill(of[wave][band], spectrum, false);
                fill(of[wave][band + 1], spectrum, true);
            }
        }
    }

    // The table's samples, scaled so that the wave's highest point is exactly 1: a sound's volume
    // is then the height of its wave, whatever the wave and pitch.
    static void fill(Table& table, const std::vector<std::complex<double>>& from, bool imaginary) {
        double peak = 0;
        for (uint32_t i = 0; i < table_size; ++i)
            peak = std::max(peak, std::abs(imaginary ? from[i].imag() : from[i].real()));
        const double scale = peak > 0 ? 1 / peak : 0;
        for (uint32_t i = 0; i < table_size; ++i)
            table[i] = static_cast<float>((imaginary ? from[i].imag() : from[i].real()) * scale);
        table[table_size] = table[0];
    }
};

const Table& table_for(Wave wave, double hz) {
    static const Tables tables;
    const int band = hz <= lowest_hz ? 0 : static_cast<int>(std::log2(hz / lowest_hz) * bands_per_octave);
    return tables.of[static_cast<size_t>(wave)][static_cast<size_t>(std::min(band, band_count - 1))];
}

uint32_t increment(double hz) {
    return static_cast<uint32_t>(std::clamp(hz / sample_rate, 0.0, 0.5) * 4294967296.0);
}

}  // namespace

// Draws count samples at one pitch, each scaled by level(i) for i from 0.
template <class Level>
void Oscillator::draw(float* out, size_t count, double hz, Level level) {
    const uint32_t step = increment(hz);
    if (wave_ == Wave::noise) {
        for (size_t i = 0; i < count; ++i) {
            const uint32_t before = phase_;
            phase_ += step;
            if (phase_ < before) {  // the shift register steps once a period
                const uint16_t bit = (register_ ^ register_ >> 1) & 1;
                register_ = static_cast<uint16_t>(register_ >> 1 | bit << 14);
                noise_from_ = noise_to_;
                noise_to_ = (register_ & 1) ? 1.0f : -1.0f;
            }
            const float along = static_cast<float>(phase_) * (1.0f / 4294967296.0f);
            out[i] += (noise_from_ + (noise_to_ - noise_from_) * along) * level(i);
        }
        return;
    }
    const float* table = table_for(wave_, hz).data();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t at = phase_ >> phase_shift;
        const float along = static_cast<float>(phase_ & ((1u << phase_shift) - 1)) * phase_fraction;
        out[i] += (table[at] + (table[at + 1] - table[at]) * along) * level(i);
        phase_ += step;
    }
}

void Oscillator::slide(float* out, size_t count, double from_hz, double to_hz, float from_level,
                       float to_level) {
    const double last = count > 1 ? static_cast<double>(count - 1) : 1.0;
    for (size_t start = 0; start < count; start += slide_block) {
        const size_t n = std::min(slide_block, count - start);
        // Each block at the pitch of its middle, from the table for that pitch: steps of 0.7 ms
        // are heard as one smooth slide.
        const double hz = from_hz + (to_hz - from_hz) * (static_cast<double>(start) + n / 2.0) / last;
        draw(out + start, n, hz, [&](size_t i) {
            const float t = static_cast<float>(static_cast<double>(start + i) / last);
            return from_level + (to_level - from_level) * t;
        });
    }
}

void Oscillator::note(float* out, size_t from, size_t to, size_t count, double hz, float level,
                      float fall, size_t fade) {
    fade = std::min(fade, count / 2);
    const float per_fade = fade > 0 ? 1.0f / static_cast<float>(fade) : 0.0f;
    float falling = level * std::pow(fall, static_cast<float>(from));
    // The note's rise, its middle and its fall, each drawn where it meets [from, to), so that the
    // long middle does no more than it must at each sample.
    auto part = [&](size_t begin, size_t end, auto edge) {
        begin = std::max(begin, from);
        end = std::min(end, to);
        if (begin >= end) return;
        draw(out + (begin - from), end - begin, hz, [&falling, fall, edge, begin](size_t i) {
            const float value = falling * edge(begin + i);
            falling *= fall;
            return value;
        });
    };
    part(0, fade, [per_fade](size_t at) { return static_cast<float>(at) * per_fade; });
    part(fade, count - fade, [](size_t) { return 1.0f; });
    part(count - fade, count, [per_fade, count](size_t at) { return static_cast<float>(count - at) * per_fade; });
}

}  // namespace platform::synth
