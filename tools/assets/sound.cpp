#include "tools/assets/sound.h"

#include "platform/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace assets {
namespace {

enum class Wave { square, triangle, noise, rest };

constexpr int kFadeSamples = kSampleRate * 4 / 1000;

std::optional<Wave> wave_named(std::string_view name)
{
    if (name == "square") return Wave::square;
    if (name == "triangle") return Wave::triangle;
    if (name == "noise") return Wave::noise;
    if (name == "rest") return Wave::rest;
    return std::nullopt;
}

// One voice being drawn: its wave's phase carries on from segment to segment.
struct Oscillator {
    Wave wave = Wave::square;
    double phase = 0;
    std::uint16_t noise = 1;  // the shift register
    double noise_level = 1;

    double next(double hz)
    {
        const double step = hz / kSampleRate;
        phase += step;
        const bool wrapped = phase >= 1;
        phase -= std::floor(phase);
        switch (wave) {
            case Wave::square: return phase < 0.5 ? 1 : -1;
            case Wave::triangle: return 4 * std::abs(phase - 0.5) - 1;
            case Wave::noise:
                if (wrapped) {
                    const std::uint16_t bit = (noise ^ noise >> 1) & 1;
                    noise = static_cast<std::uint16_t>(noise >> 1 | bit << 14);
                    noise_level = (noise & 1) ? 1 : -1;
                }
                return noise_level;
            case Wave::rest: return 0;
        }
        return 0;
    }
};

// Draws samples of a tone onto `out` from `start`, adding to what is there: pitch and volume
// (0 to 1) slide from the first to the second value; `fade` softens both ends.
void draw_tone(std::vector<double>& out, std::size_t start, std::size_t count, Oscillator& osc,
               double from_hz, double to_hz, double from_volume, double to_volume, bool fade)
{
    if (out.size() < start + count)
        out.resize(start + count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = count > 1 ? static_cast<double>(i) / static_cast<double>(count - 1) : 0.0;
        double volume = from_volume + (to_volume - from_volume) * t;
        if (fade) {
            const std::size_t edge = std::min(i, count - 1 - i);
            if (edge < static_cast<std::size_t>(kFadeSamples))
                volume *= static_cast<double>(edge) / kFadeSamples;
        }
        out[start + i] += volume * osc.next(from_hz + (to_hz - from_hz) * t);
    }
}

std::size_t samples_of(double milliseconds)
{
    return static_cast<std::size_t>(std::llround(milliseconds * kSampleRate / 1000.0));
}

// ---- effects ------------------------------------------------------------------------------------

std::optional<SourceError> read_segment(const Line& line, const std::vector<Word>& words,
                                        std::vector<double>& out, Oscillator& osc, int& total_ms)
{
    const auto wave = wave_named(words[0].text);
    if (!wave)
        return SourceError{line.number, words[0].column,
                           "unknown wave '" + std::string(words[0].text) +
                               "' (square, triangle, noise or rest)"};
    if (*wave == Wave::rest) {
        if (auto error = check_arguments(line.number, words, 1, "rest MILLISECONDS"))
            return error;
    } else if (auto error = check_arguments(line.number, words, 5,
                                            "WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME")) {
        return error;
    }
    const auto ms = parse_number(words[1].text, 1, kMaxSoundMilliseconds);
    if (!ms)
        return SourceError{line.number, words[1].column, "milliseconds must be a number from 1 to 120000"};
    total_ms += *ms;
    if (total_ms > kMaxSoundMilliseconds)
        return SourceError{line.number, words[1].column, "the sound is longer than two minutes"};
    const std::size_t start = out.size();
    const std::size_t count = samples_of(total_ms) - start;
    if (*wave == Wave::rest) {
        out.resize(start + count, 0.0);
        return std::nullopt;
    }
    int values[4] = {};
    const int limits[4][2] = {{1, 20000}, {1, 20000}, {0, 100}, {0, 100}};
    const char* names[4] = {"a pitch must be a number of Hz from 1 to 20000",
                            "a pitch must be a number of Hz from 1 to 20000",
                            "a volume must be a percentage from 0 to 100",
                            "a volume must be a percentage from 0 to 100"};
    for (int k = 0; k < 4; ++k) {
        const auto v = parse_number(words[2 + k].text, limits[k][0], limits[k][1]);
        if (!v)
            return SourceError{line.number, words[2 + k].column, names[k]};
        values[k] = *v;
    }
    osc.wave = *wave;
    draw_tone(out, start, count, osc, values[0], values[1], values[2] / 100.0, values[3] / 100.0, false);
    return std::nullopt;
}

// ---- tunes --------------------------------------------------------------------------------------

struct Voice {
    Oscillator osc;
    double volume = 0;
    double beat_ms = 0;
    double at_ms = 0;  // where its next note starts
};

// The semitone of a note name such as C5, F#3 or Bb4 (MIDI numbering: A4 is 69), or nothing.
std::optional<int> semitone_of(std::string_view name)
{
    static constexpr int steps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        return std::nullopt;
    int semitone = steps[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') {
        semitone += name[at] == '#' ? 1 : -1;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8')
        return std::nullopt;
    return semitone + 12 * (name[at] - '0' + 1);
}

std::optional<SourceError> read_note(int line, const Word& word, Voice& voice, std::vector<double>& out)
{
    const std::string_view text = word.text;
    const std::size_t colon = text.find(':');
    const std::string bad = "expected NOTE:LENGTH such as C5:4, G#3:8. or -:2, found '" + std::string(text) + "'";
    if (colon == std::string_view::npos)
        return SourceError{line, word.column, bad};
    std::string_view length_text = text.substr(colon + 1);
    const bool dotted = !length_text.empty() && length_text.back() == '.';
    if (dotted)
        length_text.remove_suffix(1);
    const auto length = parse_number(length_text, 1, 16);
    if (!length || (16 % *length) != 0)
        return SourceError{line, word.column + static_cast<int>(colon) + 1,
                           "a length must be 1, 2, 4, 8 or 16, with a dot for half as long again"};
    const double ms = voice.beat_ms * 4.0 / *length * (dotted ? 1.5 : 1.0);
    const std::string_view name = text.substr(0, colon);
    if (name != "-") {
        const auto semitone = semitone_of(name);
        if (!semitone)
            return SourceError{line, word.column, "unknown note '" + std::string(name) + "'"};
        const double hz = 440.0 * std::pow(2.0, (*semitone - 69) / 12.0);
        const std::size_t start = samples_of(voice.at_ms);
        draw_tone(out, start, samples_of(voice.at_ms + ms) - start, voice.osc, hz, hz, voice.volume,
                  voice.volume, true);
    }
    voice.at_ms += ms;
    if (voice.at_ms > kMaxSoundMilliseconds)
        return SourceError{line, word.column, "the tune is longer than two minutes"};
    return std::nullopt;
}

// ---- the file -----------------------------------------------------------------------------------

std::vector<std::uint8_t> wav_file(const std::vector<double>& samples)
{
    std::vector<std::int16_t> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(std::lround(std::clamp(samples[i], -1.0, 1.0) * 32767.0));
    return platform::wav_file_bytes(pcm);
}

}  // namespace

Compiled compile_sound(std::string_view source)
{
    const std::vector<Line> lines = split_lines(source);
    enum class Kind { none, effect, tune } kind = Kind::none;
    std::vector<double> samples;
    Oscillator effect_osc;
    int effect_ms = 0;
    double beat_ms = 0;
    std::vector<Voice> voices;
    for (const Line& line : lines) {
        if (is_comment(line.text) || is_blank(line.text))
            continue;
        const std::vector<Word> words = split_words(line.text);
        const std::string_view first = words[0].text;
        if (kind == Kind::none) {
            if (first == "effect" || first == "tune") {
                if (auto error = check_arguments(line.number, words, 0, std::string(first)))
                    return compile_error(error->line, error->column, error->message);
                kind = first == "effect" ? Kind::effect : Kind::tune;
                continue;
            }
            return compile_error(line.number, words[0].column, "a sound starts with 'effect' or 'tune'");
        }
        if (kind == Kind::effect) {
            if (auto error = read_segment(line, words, samples, effect_osc, effect_ms))
                return compile_error(error->line, error->column, error->message);
            continue;
        }
        if (first == "tempo") {
            if (auto error = check_arguments(line.number, words, 1, "tempo QUARTERS_PER_MINUTE"))
                return compile_error(error->line, error->column, error->message);
            const auto tempo = parse_number(words[1].text, 20, 400);
            if (!tempo)
                return compile_error(line.number, words[1].column, "a tempo must be a number from 20 to 400");
            beat_ms = 60000.0 / *tempo;
        } else if (first == "voice") {
            if (beat_ms == 0)
                return compile_error(line.number, 1, "'tempo N' must come before the first voice");
            if (auto error = check_arguments(line.number, words, 2, "voice WAVE VOLUME"))
                return compile_error(error->line, error->column, error->message);
            const auto wave = wave_named(words[1].text);
            if (!wave || *wave == Wave::rest)
                return compile_error(line.number, words[1].column,
                                     "unknown wave '" + std::string(words[1].text) + "' (square, triangle or noise)");
            const auto volume = parse_number(words[2].text, 0, 100);
            if (!volume)
                return compile_error(line.number, words[2].column, "a volume must be a percentage from 0 to 100");
            Voice voice;
            voice.osc.wave = *wave;
            voice.volume = *volume / 100.0;
            voice.beat_ms = beat_ms;
            voices.push_back(voice);
        } else if (first == "notes") {
            if (voices.empty())
                return compile_error(line.number, 1, "'voice WAVE VOLUME' must come before its notes");
            for (std::size_t i = 1; i < words.size(); ++i) {
                if (words[i].text.starts_with('#'))
                    break;
                if (auto error = read_note(line.number, words[i], voices.back(), samples))
                    return compile_error(error->line, error->column, error->message);
            }
        } else {
            return compile_error(line.number, words[0].column,
                                 "expected 'tempo', 'voice' or 'notes', found '" + std::string(first) + "'");
        }
    }
    if (kind == Kind::none)
        return compile_error(end_line(lines), 1, "an empty sound: it starts with 'effect' or 'tune'");
    if (kind == Kind::tune) {
        double longest = 0;
        for (const Voice& v : voices)
            longest = std::max(longest, v.at_ms);
        samples.resize(samples_of(longest), 0.0);
    }
    if (samples.empty())
        return compile_error(end_line(lines), 1, "the sound holds no samples");
    // An effect may start or stop at full volume: its first and last 4 ms fade, so it never clicks.
    if (kind == Kind::effect) {
        const std::size_t fade = std::min(samples.size() / 2, static_cast<std::size_t>(kFadeSamples));
        for (std::size_t i = 0; i < fade; ++i) {
            const double gain = static_cast<double>(i) / kFadeSamples;
            samples[i] *= gain;
            samples[samples.size() - 1 - i] *= gain;
        }
    }
    Compiled result;
    result.bytes = wav_file(samples);
    return result;
}

}  // namespace assets
