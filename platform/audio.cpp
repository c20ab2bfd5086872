#include "platform/audio.h"

#include "platform/sound_text.h"
#include "platform/wav_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <future>
#include <mutex>

namespace platform {
namespace {

constexpr int sound_count = static_cast<int>(Sound::menu_choose) + 1;
constexpr int music_count = static_cast<int>(Music::level3) + 1;
constexpr const char* sound_names[sound_count] = {
    "jump",   "wall_jump", "stomp", "kick", "knock",      "bump",     "break",
    "coin",   "item",      "grow",  "shrink", "die",      "extra_life", "pipe",
    "level_start", "game_over", "menu_move", "menu_choose"};
constexpr const char* music_files[music_count] = {
    nullptr, "tune_title", "tune_level1", "tune_level2", "tune_level3"};

constexpr size_t voice_count = 8;
// Our longest source, a tune, is a few KB; a file far past that is refused unread.
constexpr long max_source_bytes = 256 * 1024;
// A headless run records at most half an hour of sound.
constexpr size_t max_captured = size_t{30} * 60 * audio::sample_rate;
constexpr float from_16 = 1.0f / 32767.0f;

struct Voice {
    const std::vector<int16_t>* samples = nullptr;
    size_t at = 0;
    uint64_t started = 0;  // which start this was: the oldest gives way to a ninth sound
};

struct Mixer {
    std::array<std::vector<int16_t>, sound_count> effects;
    std::array<std::vector<int16_t>, music_count> tunes;
    std::array<Voice, voice_count> voices;
    uint64_t starts = 0;
    Music music = Music::none;
    size_t music_at = 0;
    float effects_gain = 1;  // the limiter's, 1 when it is not holding the effects down
    bool muted = false;
    bool music_allowed = true;
    bool effects_allowed = true;
};

std::mutex lock;  // the mixer is shared with the audio device's thread
Mixer mixer;
std::vector<Sound> announced;

struct Capture {
    bool on = false;
    bool anchored = false;  // once a clock reading has said what time the run started at
    bool full = false;
    uint32_t anchor = 0;    // the clock reading at the run's time 0
    uint64_t now_ms = 0;    // the run's time
    std::vector<int16_t> samples;
};
Capture capture_state;

// The limiter lets the effects back up by this share of the way at each sample: two-thirds of the
// way in 80 ms, slow enough not to flutter on a wave's peaks.
const float release = 1.0f - std::exp(-1.0f / (0.080f * audio::sample_rate));

int16_t to_16_bits(float x) {
    x = std::min(std::max(x, -1.0f), 1.0f) * 32767.0f;
    return static_cast<int16_t>(static_cast<int32_t>(x + 32768.5f) - 32768);
}

// The text of a sound source, or false with the reason in `problem`.
bool read_source(const std::string& game_path, std::string& text, std::string& problem) {
    std::FILE* file = open_file(game_path.c_str(), "rb");
    if (!file) {
        problem = last_error();
        return false;
    }
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 &&
           text.size() <= static_cast<size_t>(max_source_bytes))
        text.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) problem = data_path(game_path) + ": cannot be read";
    if (text.size() > static_cast<size_t>(max_source_bytes))
        problem = data_path(game_path) + ": longer than 256 KB, no sound of ours is";
    return problem.empty();
}

void start_voice(const std::vector<int16_t>& samples) {
    if (samples.empty() || !mixer.effects_allowed) return;
    auto slot = std::find_if(mixer.voices.begin(), mixer.voices.end(),
                             [](const Voice& v) { return v.samples == nullptr; });
    if (slot == mixer.voices.end())
        slot = std::min_element(mixer.voices.begin(), mixer.voices.end(),
                                [](const Voice& a, const Voice& b) { return a.started < b.started; });
    *slot = Voice{&samples, 0, ++mixer.starts};
}

void mix_locked(int16_t* out, size_t count) {
    const std::vector<int16_t>& tune = mixer.tunes[static_cast<size_t>(mixer.music)];
    for (size_t i = 0; i < count; ++i) {
        float music = 0;
        if (!tune.empty()) {
            music = tune[mixer.music_at] * from_16;
            if (++mixer.music_at == tune.size()) mixer.music_at = 0;  // the tune loops
        }
        float effects = 0;
        for (Voice& v : mixer.voices) {
            if (!v.samples) continue;
            effects += (*v.samples)[v.at] * from_16;
            if (++v.at == v.samples->size()) v = Voice{};
        }
        // However the effects and the music fall, |music + gain * effects| stays within the
        // ceiling: the effects take the room the music leaves.
        const float room = audio::ceiling - std::abs(music);
        float gain = mixer.effects_gain + (1.0f - mixer.effects_gain) * release;
        if (std::abs(effects) * gain > room) gain = room > 0 ? room / std::abs(effects) : 0.0f;
        mixer.effects_gain = gain;
        out[i] = mixer.muted ? int16_t{0} : to_16_bits(music + gain * effects);
    }
}

// Draws the mix up to the run's time.
void draw_captured() {
    Capture& c = capture_state;
    const uint64_t target = c.now_ms * audio::samples_per_ms;
    if (c.full || target <= c.samples.size()) return;
    if (target > max_captured) {
        c.full = true;
        std::fprintf(stderr, "brickrun: warning: the run's sound stops after half an hour\n");
        return;
    }
    const size_t from = c.samples.size();
    c.samples.resize(static_cast<size_t>(target));
    audio::mix(c.samples.data() + from, c.samples.size() - from);
}

// A clock reading or a wait deadline: the run's time moves up to it when it lies ahead.
void move_to(uint32_t reading) {
    Capture& c = capture_state;
    const int32_t since = static_cast<int32_t>(reading - c.anchor);
    if (since <= 0 || static_cast<uint64_t>(since) <= c.now_ms) return;
    c.now_ms = static_cast<uint64_t>(since);
    draw_captured();
}

}  // namespace

void play_sound(Sound sound) {
    announced.push_back(sound);
    std::lock_guard<std::mutex> held(lock);
    start_voice(mixer.effects[static_cast<size_t>(sound)]);
}

void play_music(Music music) {
    std::lock_guard<std::mutex> held(lock);
    if (!mixer.music_allowed) music = Music::none;
    if (music == mixer.music) return;
    mixer.music = music;
    mixer.music_at = 0;
}

namespace audio {

const char* sound_name(Sound sound) { return sound_names[static_cast<size_t>(sound)]; }

const std::vector<Sound>& since_present() { return announced; }

void present_done() { announced.clear(); }

// A browser page has one thread: there each tune is made when it is waited for.
#ifdef __EMSCRIPTEN__
constexpr std::launch tune_launch = std::launch::deferred;
#else
constexpr std::launch tune_launch = std::launch::async;
#endif

int load() {
    // Every source is read here, then made: the tunes, which take nearly all the time, each on a
    // thread of its own while the effects are made here, so a machine with cores to spare starts
    // sooner. Each is made from its own text alone, so the samples are the same either way.
    struct Source {
        const char* name;
        std::vector<int16_t>* into;
        std::string text, problem;
        sound::Made made;
    };
    Mixer fresh;
    std::vector<Source> sources;
    for (int s = 0; s < sound_count; ++s)
        sources.push_back({sound_names[s], &fresh.effects[static_cast<size_t>(s)], {}, {}, {}});
    for (int m = 1; m < music_count; ++m)
        sources.push_back({music_files[m], &fresh.tunes[static_cast<size_t>(m)], {}, {}, {}});
    for (Source& source : sources)
        read_source(std::string("Sounds\\") + source.name + ".txt", source.text, source.problem);
    std::vector<std::future<void>> tunes;
    for (size_t i = sound_count; i < sources.size(); ++i) {
        Source& tune = sources[i];
        if (tune.problem.empty())
            tunes.push_back(std::async(tune_launch, [&tune] { tune.made = sound::make(tune.text); }));
    }
    for (size_t i = 0; i < sound_count; ++i)
        if (sources[i].problem.empty()) sources[i].made = sound::make(sources[i].text);
    for (std::future<void>& tune : tunes) tune.get();
    int made_count = 0;
    for (Source& source : sources) {
        if (source.problem.empty() && source.made.error.empty()) {
            *source.into = std::move(source.made.samples);
            ++made_count;
            continue;
        }
        if (source.problem.empty())
            source.problem = data_path(std::string("Sounds\\") + source.name + ".txt") + ":" +
                             std::to_string(source.made.line) + ":" + std::to_string(source.made.column) +
                             ": " + source.made.error;
        std::fprintf(stderr, "brickrun: warning: sound not made, it will be silent: %s\n",
                     source.problem.c_str());
    }
    std::lock_guard<std::mutex> held(lock);
    fresh.muted = mixer.muted;
    fresh.music_allowed = mixer.music_allowed;
    fresh.effects_allowed = mixer.effects_allowed;
    mixer = std::move(fresh);
    return made_count;
}

void mix(int16_t* out, size_t count) {
    std::lock_guard<std::mutex> held(lock);
    mix_locked(out, count);
}

void set_muted(bool muted) {
    std::lock_guard<std::mutex> held(lock);
    mixer.muted = muted;
}

bool muted() {
    std::lock_guard<std::mutex> held(lock);
    return mixer.muted;
}

void set_music_allowed(bool allowed) {
    std::lock_guard<std::mutex> held(lock);
    mixer.music_allowed = allowed;
    if (!allowed) mixer.music = Music::none;
}

void set_effects_allowed(bool allowed) {
    std::lock_guard<std::mutex> held(lock);
    mixer.effects_allowed = allowed;
}

void capture() { capture_state.on = true; }

void presented(uint32_t ms) {
    if (!capture_state.on) return;
    capture_state.now_ms += ms;
    draw_captured();
}

void slept(uint32_t ms) { presented(ms); }

void waited(int32_t deadline) {
    if (capture_state.on && capture_state.anchored) move_to(static_cast<uint32_t>(deadline));
}

void clock_read(uint32_t now_ms) {
    Capture& c = capture_state;
    if (!c.on) return;
    if (!c.anchored) {
        c.anchored = true;
        c.anchor = now_ms - static_cast<uint32_t>(c.now_ms);
    }
    move_to(now_ms);
}

const std::vector<int16_t>& captured() { return capture_state.samples; }

bool write_captured(const std::string& path, std::string& error) {
    const std::vector<unsigned char> out = wav_file_bytes(capture_state.samples);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) error = "cannot write the sound";
    return written;
}

void reset() {
    std::lock_guard<std::mutex> held(lock);
    mixer = Mixer{};
    announced.clear();
    capture_state = Capture{};
}

}  // namespace audio
}  // namespace platform
