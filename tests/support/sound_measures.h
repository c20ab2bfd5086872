// Measures of 16-bit sound at 48000 Hz, for the tests and the sound benchmark: loudness, clipped
// samples, and how much of a sound's energy lies above a frequency.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace sound_measures {

constexpr int rate = 48000;

inline double decibels(double ratio) { return 20 * std::log10(std::max(ratio, 1e-12)); }

// Root mean square of samples [from, from + count), 1 being full scale.
inline double rms(const std::vector<int16_t>& s, size_t from, size_t count) {
    double sum = 0;
    const size_t end = std::min(s.size(), from + count);
    for (size_t i = from; i < end; ++i) sum += static_cast<double>(s[i]) * s[i];
    return end > from ? std::sqrt(sum / static_cast<double>(end - from)) / 32768.0 : 0.0;
}

// Samples at either end of the 16-bit range: where the sum was cut off.
inline int clipped(const std::vector<int16_t>& s) {
    return static_cast<int>(std::count_if(s.begin(), s.end(), [](int16_t v) { return v >= 32767 || v <= -32767; }));
}

inline int peak(const std::vector<int16_t>& s) {
    int most = 0;
    for (int16_t v : s) most = std::max(most, std::abs(static_cast<int>(v)));
    return most;
}

inline void fft(std::vector<std::complex<double>>& x) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const auto step = std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k) {
                const auto a = x[start + k], b = x[start + k + length / 2] * w;
                x[start + k] = a + b;
                x[start + k + length / 2] = a - b;
                w *= step;
            }
        }
    }
}

// The energy at and above `hz` against the whole, in dB: the spectrum averaged over Hann windows
// of 4096 samples overlapping by half, whose leakage from a strong low tone into the top octave is
// far below the 50 dB that matters here.
inline double energy_above(const std::vector<int16_t>& s, double hz) {
    constexpr size_t n = 4096;
    double above = 0, all = 0;
    std::vector<std::complex<double>> x(n);
    for (size_t at = 0; at + n <= s.size(); at += n / 2) {
        for (size_t i = 0; i < n; ++i)
            x[i] = s[at + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / n));
        fft(x);
        for (size_t k = 1; k < n / 2; ++k) {
            const double e = std::norm(x[k]);
            all += e;
            if (static_cast<double>(k) * rate / n >= hz) above += e;
        }
    }
    return 10 * std::log10(std::max(above, 1e-30) / std::max(all, 1e-30));
}

}  // namespace sound_measures
