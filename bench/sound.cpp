// bench_sound (run from build/release/data): the figures of the game's sound.
// - How long the game takes to make all its sounds from their text at start-up (the best of five),
//   in time and in processor time, against how long they play.
// - Each tune: how long it plays before it repeats, its peak and loudness, and the share of its
//   energy above 16 kHz (what a naive square wave folds back as whistles).
// - The whole-game clear's mix, played headless with its music alone beside it: clipped samples,
//   the peak, and for every jump, stomp, coin and bump how much louder the mix is than the music
//   over the effect's first 150 ms.
//
// Usage: cd build/release/data && ../bench/bench_sound [CLEAR]
#include "bench/timing.h"
#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/sound_text.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "tests/support/sound_measures.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace audio = platform::audio;
namespace headless = platform::headless;
namespace measures = sound_measures;

struct Onset {
    size_t at;
    platform::Sound sound;
};

// The clear played headless with its sound captured; with effects or with the music alone.
std::vector<int16_t> play_clear(const std::vector<headless::InputChange>& script, int presents,
                                bool effects, std::vector<Onset>& onsets) {
    headless::reset();
    audio::load();
    audio::set_effects_allowed(effects);
    audio::capture();
    headless::set_script(script);
    // The sounds announced before a present start where that present's stretch of sound does.
    headless::set_present_hook([&](int, const uint32_t*, int, int) {
        const size_t start = audio::captured().size() - headless::present_ms * audio::samples_per_ms;
        for (platform::Sound s : audio::since_present()) onsets.push_back({start, s});
    });
    if (open_game() == 0) {
        while (headless::presents() < presents && game_step()) {
        }
        close_game();
    }
    headless::set_present_hook(nullptr);
    std::vector<int16_t> sound = audio::captured();
    headless::reset();
    return sound;
}

void making() {
    // Both the time it takes and the processor time it uses: on a machine shared with other work
    // the first can be several times the second.
    std::vector<double> wall, processor;
    for (int i = 0; i < 5; ++i) {
        audio::reset();
        const auto start = bench::Clock::now();
        const std::clock_t cpu_start = std::clock();
        audio::load();
        processor.push_back(static_cast<double>(std::clock() - cpu_start) * 1000 / CLOCKS_PER_SEC);
        wall.push_back(bench::us_since(start) / 1000);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(processor.begin(), processor.end());
    double seconds = 0;
    for (const char* name : {"jump", "wall_jump", "stomp", "kick", "knock", "bump", "break", "coin",
                             "item", "grow", "shrink", "die", "extra_life", "pipe", "level_start",
                             "game_over", "menu_move", "menu_choose", "tune_title", "tune_level1",
                             "tune_level2", "tune_level3"}) {
        std::ifstream in(std::string("Sounds/") + name + ".txt", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        seconds += static_cast<double>(platform::sound::make(text).samples.size()) / measures::rate;
    }
    std::printf("made every sound (%.1f s of sound) in %.1f ms, %.1f ms of processor time (the best "
                "of 5; the slowest %.1f ms), %.0f times faster than it plays\n",
                seconds, wall.front(), processor.front(), wall.back(), seconds * 1000 / wall.front());
}

void tunes() {
    for (const char* name : {"tune_title", "tune_level1", "tune_level2", "tune_level3"}) {
        std::ifstream in(std::string("Sounds/") + name + ".txt", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        const std::vector<int16_t> s = platform::sound::make(text).samples;
        std::printf("%-12s %5.1f s before it repeats, peak %5.1f dBFS, %5.1f dBFS RMS, energy above "
                    "16 kHz %5.1f dB\n",
                    name, static_cast<double>(s.size()) / measures::rate,
                    measures::decibels(measures::peak(s) / 32768.0),
                    measures::decibels(measures::rms(s, 0, s.size())), measures::energy_above(s, 16000));
    }
}

void clear(const std::string& path) {
    std::vector<headless::InputChange> script;
    std::string error;
    if (!headless::read_script_file(path, script, error)) {
        std::fprintf(stderr, "bench_sound: %s: %s\n", path.c_str(), error.c_str());
        return;
    }
    const int presents = 3600;  // the clear and the menu after its game over
    std::vector<Onset> onsets, unused;
    const std::vector<int16_t> mix = play_clear(script, presents, true, onsets);
    const std::vector<int16_t> music = play_clear(script, presents, false, unused);
    std::printf("whole-game clear, %d presents, %.1f s: %d clipped samples, peak %.1f dBFS; the "
                "music alone %.1f dBFS RMS\n",
                presents, static_cast<double>(mix.size()) / measures::rate, measures::clipped(mix),
                measures::decibels(measures::peak(mix) / 32768.0),
                measures::decibels(measures::rms(music, 0, music.size())));
    constexpr size_t window = 150 * audio::samples_per_ms;
    std::map<std::string, std::vector<double>> above;
    for (const Onset& o : onsets) {
        const std::string name = audio::sound_name(o.sound);
        if (name != "jump" && name != "stomp" && name != "coin" && name != "bump") continue;
        above[name].push_back(measures::decibels(measures::rms(mix, o.at, window) /
                                                 std::max(measures::rms(music, o.at, window), 1e-9)));
    }
    for (auto& [name, db] : above) {
        std::sort(db.begin(), db.end());
        std::printf("  %-5s x%-3zu the mix over its first 150 ms is %.1f dB above the music at the "
                    "least, %.1f dB at the median\n",
                    name.c_str(), db.size(), db.front(), db[db.size() / 2]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (audio::load() == 0) {
        std::fprintf(stderr, "bench_sound: no sounds in Sounds/: run it from the data folder\n");
        return 1;
    }
    making();
    tunes();
    clear(argc > 1 ? argv[1] : BRICKRUN_GAME_CLEAR);
    return 0;
}
