// bench_audio (run from build/release/data): what the mixer costs. Mixes a minute of sound in the
// SDL device's 512-sample buffers with a level's tune playing and all eight effect voices busy
// (a new effect every 50 ms, far more than play ever starts), and prints the cost of a buffer and
// the share of one core the mixing takes.
#include "bench/timing.h"
#include "platform/audio.h"

#include <cstdio>
#include <vector>

int main() {
    namespace audio = platform::audio;
    if (audio::load() == 0) {
        std::fprintf(stderr, "bench_audio: no sounds in Sounds/: run it from the data folder\n");
        return 1;
    }
    constexpr size_t buffer = 512;
    constexpr size_t seconds = 60;
    const size_t buffers = seconds * audio::sample_rate / buffer;
    const size_t buffers_between_effects = audio::sample_rate / 20 / buffer;
    std::vector<int16_t> out(buffer);
    platform::play_music(platform::Music::level1);
    int64_t checksum = 0;
    const auto start = bench::Clock::now();
    for (size_t b = 0; b < buffers; ++b) {
        if (b % (buffers_between_effects + 1) == 0)
            platform::play_sound(static_cast<platform::Sound>(b % 18));
        audio::mix(out.data(), buffer);
        checksum += out[b % buffer];
        audio::present_done();
    }
    const double us = bench::us_since(start);
    std::printf("mixed %zu s of sound in %zu buffers of %zu samples: %.2f us a buffer, %.3f%% of "
                "one core (checksum %lld)\n",
                seconds, buffers, buffer, us / static_cast<double>(buffers),
                us / (static_cast<double>(seconds) * 1e6) * 100.0, static_cast<long long>(checksum));
    return 0;
}
