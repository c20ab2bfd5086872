#include "platform/sound_text.h"

#include "platform/sound_tune.h"
#include "platform/synth.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace platform::sound {
namespace {

using synth::Wave;

struct Fault {
    int line, column;
    std::string message;
};
using Result = std::optional<Fault>;

struct Word {
    std::string_view text;
    int column;
};

// The words of a line, up to a word that starts a comment.
std::vector<Word> words_of(std::string_view line) {
    std::vector<Word> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const size_t end = std::min(line.find_first_of(" \t", at), line.size());
        if (line[at] == '#') break;
        words.push_back({line.substr(at, end - at), static_cast<int>(at) + 1});
        at = end;
    }
    return words;
}

// Digits only, from low to high.
std::optional<int> number(std::string_view text, int low, int high) {
    int value = 0;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return {};
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return {};
    return value;
}

std::optional<Wave> wave_named(std::string_view name) {
    constexpr std::pair<std::string_view, Wave> waves[] = {
        {"square", Wave::square},     {"pulse25", Wave::pulse25}, {"pulse12", Wave::pulse12},
        {"triangle", Wave::triangle}, {"noise", Wave::noise}};
    for (const auto& [text, wave] : waves)
        if (name == text) return wave;
    return {};
}

// A line's arguments: exactly `count` after its first word.
Result arguments(int line, const std::vector<Word>& words, size_t count, std::string_view usage) {
    if (words.size() < count + 1) return Fault{line, 1, "expected '" + std::string(usage) + "'"};
    if (words.size() > count + 1)
        return Fault{line, words[count + 1].column, "unexpected '" + std::string(words[count + 1].text) +
                                                         "' after '" + std::string(usage) + "'"};
    return {};
}

// ---- effects ----------------------------------------------------------------------------------

struct Effect {
    std::vector<float> samples;
    int ms = 0;
    synth::Oscillator oscillator{Wave::square};  // one for the whole effect: segments join smoothly
};

Result read_segment(int line, const std::vector<Word>& words, Effect& effect) {
    const bool rest = words[0].text == "rest";
    const auto wave = wave_named(words[0].text);
    if (!rest && !wave)
        return Fault{line, words[0].column, "unknown wave '" + std::string(words[0].text) +
                                                "' (square, pulse25, pulse12, triangle, noise or rest)"};
    if (Result bad = rest ? arguments(line, words, 1, "rest MILLISECONDS")
                          : arguments(line, words, 5, "WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME"))
        return bad;
    const auto ms = number(words[1].text, 1, max_effect_ms);
    if (!ms) return Fault{line, words[1].column, "milliseconds must be a number from 1 to 10000"};
    if (effect.ms + *ms > max_effect_ms)
        return Fault{line, words[1].column, "the effect is longer than ten seconds"};
    int values[4] = {};
    for (size_t k = 0; !rest && k < 4; ++k) {
        const auto v = number(words[2 + k].text, k < 2 ? 1 : 0, k < 2 ? 20000 : 100);
        if (!v)
            return Fault{line, words[2 + k].column, k < 2 ? "a pitch must be a number of Hz from 1 to 20000"
                                                          : "a volume must be a percentage from 0 to 100"};
        values[k] = *v;
    }
    const size_t start = effect.samples.size();
    effect.ms += *ms;
    effect.samples.resize(static_cast<size_t>(effect.ms) * (sample_rate / 1000), 0.0f);
    if (rest) return {};
    effect.oscillator.set_wave(*wave);
    effect.oscillator.slide(effect.samples.data() + start, effect.samples.size() - start, values[0],
                             values[1], values[2] / 100.0f, values[3] / 100.0f);
    return {};
}

// ---- tunes ------------------------------------------------------------------------------------

std::optional<int> semitone_of(std::string_view name) {
    static constexpr int steps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return {};
    int semitone = steps[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') semitone += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') return {};
    semitone += 12 * (name[at] - '0' + 1);
    if (semitone < lowest_note || semitone > highest_note) return {};
    return semitone;
}

bool is_name(std::string_view text) {
    return !text.empty() && text[0] >= 'a' && text[0] <= 'z' &&
           text.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") == std::string_view::npos;
}

Result read_note(int line, const Word& word, Item& item) {
    const size_t colon = word.text.find(':');
    std::string_view length = word.text.substr(colon + 1);
    const bool dotted = length.ends_with('.');
    if (dotted) length.remove_suffix(1);
    const auto whole_parts = number(length, 1, 32);
    if (!whole_parts || (32 % *whole_parts) != 0)
        return Fault{line, word.column + static_cast<int>(colon) + 1,
                     "a length must be 1, 2, 4, 8, 16 or 32, with a dot for half as long again"};
    item.units = units_per_whole / *whole_parts * (dotted ? 3 : 2) / 2;
    const std::string_view name = word.text.substr(0, colon);
    if (name == "-") return {};
    const auto semitone = semitone_of(name);
    if (!semitone) return Fault{line, word.column, "unknown note '" + std::string(name) + "'"};
    item.note = *semitone;
    return {};
}

Result read_phrase_use(int line, const Word& word, const Tune& tune, Item& item) {
    const size_t sign = std::min(word.text.find_first_of("+-"), word.text.size());
    const std::string_view name = word.text.substr(0, sign);
    const auto found = std::find_if(tune.phrases.begin(), tune.phrases.end(),
                                    [&](const Phrase& p) { return p.name == name; });
    if (!is_name(name) || found == tune.phrases.end())
        return Fault{line, word.column, "expected NOTE:LENGTH such as C5:4, G#3:8. or -:2, or a phrase "
                                        "named above, found '" + std::string(word.text) + "'"};
    item.phrase = static_cast<int>(found - tune.phrases.begin());
    if (sign < word.text.size()) {
        const auto by = number(word.text.substr(sign + 1), 1, 48);
        if (!by)
            return Fault{line, word.column + static_cast<int>(sign),
                         "a phrase moves by +N or -N semitones, N from 1 to 48"};
        item.shift = word.text[sign] == '+' ? *by : -*by;
    }
    const Run& run = found->run;
    if (run.low <= run.high &&
        (run.low + item.shift < lowest_note || run.high + item.shift > highest_note))
        return Fault{line, word.column, std::string(word.text).insert(0, 1, '\'') + "' goes outside C0 to B8"};
    return {};
}

Result read_notes(int line, const std::vector<Word>& words, Tune& tune) {
    if (!tune.open)
        return Fault{line, 1, "'voice WAVE VOLUME' or 'phrase NAME' must come before its notes"};
    Run& run = *tune.open;
    const int64_t most = int64_t{32} * tune.tempo;  // two minutes of 64ths
    for (size_t i = 1; i < words.size(); ++i) {
        const int64_t before = run.units;
        Item item;
        Result bad = words[i].text.find(':') != std::string_view::npos
                         ? read_note(line, words[i], item)
                         : read_phrase_use(line, words[i], tune, item);
        if (bad) return bad;
        if (item.phrase >= 0) {
            const Run& used = tune.phrases[static_cast<size_t>(item.phrase)].run;
            if (tune.open_is_phrase && used.depth + 1 > max_phrase_depth)
                return Fault{line, words[i].column, "phrases nest at most 16 deep"};
            run.depth = std::max(run.depth, used.depth + 1);
            run.units += used.units;
            if (used.low <= used.high) {
                run.low = std::min(run.low, used.low + item.shift);
                run.high = std::max(run.high, used.high + item.shift);
            }
        } else {
            run.units += item.units;
            if (item.note != 0) {
                run.low = std::min(run.low, item.note);
                run.high = std::max(run.high, item.note);
            }
        }
        if (run.units > most) return Fault{line, words[i].column, "the tune is longer than two minutes"};
        if (!tune.open_is_phrase) {
            tune.voice_units += run.units - before;
            if (tune.voice_units > most * max_voice_ms / max_tune_ms)
                return Fault{line, words[i].column, "the voices together are longer than six minutes"};
        }
        run.items.push_back(item);
    }
    return {};
}

Result read_tune_line(int line, const std::vector<Word>& words, Tune& tune) {
    const std::string_view first = words[0].text;
    if (first == "tempo") {
        if (tune.tempo != 0 || !tune.phrases.empty() || !tune.voices.empty())
            return Fault{line, 1, "the tempo is set once, before the first phrase or voice"};
        if (Result bad = arguments(line, words, 1, "tempo QUARTERS_PER_MINUTE")) return bad;
        const auto tempo = number(words[1].text, 20, 400);
        if (!tempo) return Fault{line, words[1].column, "a tempo must be a number from 20 to 400"};
        tune.tempo = *tempo;
        return {};
    }
    if (first == "notes") return read_notes(line, words, tune);
    if (first != "phrase" && first != "voice")
        return Fault{line, words[0].column, "expected 'tempo', 'phrase', 'voice' or 'notes', found '" +
                                                std::string(first) + "'"};
    if (tune.tempo == 0) return Fault{line, 1, "'tempo N' must come before the first phrase or voice"};
    if (tune.open && tune.open->items.empty())
        return Fault{line, 1, "the phrase or voice above has no notes"};
    if (first == "phrase") {
        if (Result bad = arguments(line, words, 1, "phrase NAME")) return bad;
        const std::string name(words[1].text);
        if (!is_name(name))
            return Fault{line, words[1].column, "a phrase's name is small letters, digits and '_', "
                                                "starting with a letter"};
        for (const Phrase& p : tune.phrases)
            if (p.name == name) return Fault{line, words[1].column, "a phrase '" + name + "' is above already"};
        tune.phrases.push_back({name, {}});
        tune.open = &tune.phrases.back().run;
        tune.open_is_phrase = true;
        return {};
    }
    if (tune.voices.size() == max_voices) return Fault{line, 1, "a tune has at most 8 voices"};
    if (words.size() != 4 && words.size() != 3)
        return arguments(line, words, words.size() > 4 ? 3 : 2, "voice WAVE VOLUME [FALL]");
    const auto wave = wave_named(words[1].text);
    if (!wave)
        return Fault{line, words[1].column, "unknown wave '" + std::string(words[1].text) +
                                                "' (square, pulse25, pulse12, triangle or noise)"};
    const auto volume = number(words[2].text, 0, 100);
    if (!volume) return Fault{line, words[2].column, "a volume must be a percentage from 0 to 100"};
    const auto fall = words.size() == 4 ? number(words[3].text, 1, 10000) : 0;
    if (!fall) return Fault{line, words[3].column, "a fall must be a number of milliseconds from 1 to 10000"};
    const float halving = *fall == 0 ? 1.0f : std::exp2f(-1000.0f / (static_cast<float>(*fall) * sample_rate));
    tune.voices.push_back({*wave, *volume / 100.0f, halving, {}});
    tune.open = &tune.voices.back().run;
    tune.open_is_phrase = false;
    return {};
}

}  // namespace

Made make(std::string_view source) {
    Made made;
    enum class Kind { none, effect, tune } kind = Kind::none;
    Effect effect;
    Tune tune;
    int line = 0;
    auto fail = [&made](const Fault& fault) {
        made.error = fault.message;
        made.line = fault.line;
        made.column = fault.column;
        return made;
    };
    while (!source.empty() || line == 0) {
        ++line;
        const size_t end = source.find('\n');
        std::string_view text = source.substr(0, end);
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (text.ends_with('\r')) text.remove_suffix(1);
        const std::vector<Word> words = words_of(text);
        if (words.empty()) continue;
        if (kind == Kind::none) {
            if (words[0].text != "effect" && words[0].text != "tune")
                return fail({line, words[0].column, "a sound starts with 'effect' or 'tune'"});
            if (Result bad = arguments(line, words, 0, words[0].text)) return fail(*bad);
            kind = words[0].text == "effect" ? Kind::effect : Kind::tune;
        } else if (Result bad = kind == Kind::effect ? read_segment(line, words, effect)
                                                     : read_tune_line(line, words, tune)) {
            return fail(*bad);
        }
    }
    if (kind == Kind::none) return fail({line, 1, "an empty sound: it starts with 'effect' or 'tune'"});
    if (kind == Kind::effect) {
        if (effect.samples.empty()) return fail({line, 1, "the effect holds no segments"});
        // It may start or stop at full height: its first and last 4 ms fade.
        const size_t fade = std::min(effect.samples.size() / 2, fade_samples);
        for (size_t i = 0; i < fade; ++i) {
            const float gain = static_cast<float>(i) / fade_samples;
            effect.samples[i] *= gain;
            effect.samples[effect.samples.size() - 1 - i] *= gain;
        }
        made.samples.resize(effect.samples.size());
        to_sixteen_bits(effect.samples.data(), made.samples.data(), effect.samples.size());
        return made;
    }
    if (tune.voices.empty()) return fail({line, 1, "the tune has no voices"});
    if (tune.open->items.empty()) return fail({line, 1, "the phrase or voice above has no notes"});
    made.tune = true;
    made.samples = play_tune(tune, made.voices);
    return made;
}

}  // namespace platform::sound
