// Sounds made from their text: the shipped tunes last and have a melody over a bass, no wave is
// drawn with harmonics that fold back, and a bad or greedy source is refused at its line and
// column. The tests run in the built data folder, which ships the sounds' text.
#include "platform/sound_text.h"
#include "tests/support/sound_measures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using platform::sound::make;
using platform::sound::Made;

namespace {

std::string shipped(const std::string& name) {
    std::ifstream in("Sounds/" + name + ".txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The first whole number of beats after which a looping tune sounds the same again, looked for up
// to `seconds`: where the tune and itself that many beats later correlate at 0.9 or more, around
// the loop. 0 when there is none that soon. At an eighth of the sample rate, which keeps the bass
// and the melody and is quick to correlate.
int repeats_after(const std::vector<int16_t>& s, int tempo, int seconds) {
    std::vector<double> x(s.size() / 8);
    for (size_t i = 0; i < x.size(); ++i)
        for (size_t k = 0; k < 8; ++k) x[i] += s[8 * i + k];
    double energy = 0;
    for (double v : x) energy += v * v;
    const double beat = 60.0 / tempo * 6000;
    for (int beats = 1; beats * beat < std::min<double>(seconds * 6000.0, x.size()); ++beats) {
        const auto lag = static_cast<size_t>(std::lround(beats * beat));
        double together = 0;
        for (size_t i = 0; i < x.size(); ++i) together += x[i] * x[(i + lag) % x.size()];
        if (together >= 0.9 * energy) return beats;
    }
    return 0;
}

}  // namespace

TEST(SoundText, EachTuneLastsLongEnoughBeforeItRepeatsWithAMelodyOverABassAndHeadroom) {
    struct Tune {
        const char* name;
        int tempo, seconds;
    };
    const Tune tunes[] = {
        {"tune_title", 132, 20}, {"tune_level1", 150, 40}, {"tune_level2", 140, 40}, {"tune_level3", 168, 40}};
    for (const auto& [name, tempo, seconds] : tunes) {
        SCOPED_TRACE(name);
        const Made made = make(shipped(name));
        ASSERT_EQ(made.error, "");
        ASSERT_TRUE(made.tune);
        EXPECT_GE(made.samples.size(), static_cast<size_t>(seconds) * 48000);
        EXPECT_NE(shipped(name).find("\ntempo " + std::to_string(tempo) + "\n"), std::string::npos);
        EXPECT_EQ(repeats_after(made.samples, tempo, seconds), 0);
        bool melody = false, bass = false;
        for (const auto& v : made.voices) {
            // A melody climbs to E5 and never below G3; a bass goes down to B2 and stays under A4.
            melody = melody || (v.different >= 7 && v.lowest >= 55 && v.highest >= 76);
            bass = bass || (v.different >= 4 && v.lowest <= 47 && v.highest < 69);
        }
        EXPECT_TRUE(melody);
        EXPECT_TRUE(bass);
        // The mixer counts on the music staying under half of full scale.
        EXPECT_LE(sound_measures::peak(made.samples), 16384);
    }
}

TEST(SoundText, TheLoopFinderSeesATuneThatRepeatsItself) {
    const std::string verse = "notes C5:8 E5:8 G5:8 E5:8 D5:4 B4:4 C5:2 -:4 G4:4\n";
    const Made once = make("tune\ntempo 150\nvoice square 30\n" + verse + verse + verse);
    ASSERT_EQ(once.error, "");
    EXPECT_EQ(repeats_after(once.samples, 150, 20), 8);  // two bars
}


TEST(SoundText, NoWaveHasHarmonicsAbove16kHzAtAnyPitch) {
    for (const char* wave : {"square", "pulse25", "pulse12", "triangle"}) {
        SCOPED_TRACE(wave);
        // Slides through every table and up to where the third harmonic of a square passes 16 kHz,
        // and held notes from the bass up to the highest the tunes may ask.
        const std::string w = wave;
        const Made slide = make("effect\n" + w + " 3000 30 8000 80 80\n");
        ASSERT_EQ(slide.error, "");
        EXPECT_LT(sound_measures::energy_above(slide.samples, 16000), -50);
        const Made notes = make("tune\ntempo 60\nvoice " + w + " 80\nnotes C2:4 C4:4 A5:4 E7:4 B8:4\n");
        ASSERT_EQ(notes.error, "");
        EXPECT_LT(sound_measures::energy_above(notes.samples, 16000), -50);
        // Band-limited, still its full height.
        EXPECT_GT(sound_measures::peak(notes.samples), 0.95 * 0.8 * 32767);
    }
}

TEST(SoundText, RefusesBadOrGreedySourcesAtTheirLineAndColumn) {
    struct Case {
        std::string source;
        int line, column;
        const char* says;
    };
    const std::string tune = "tune\ntempo 120\n";
    const Case cases[] = {
        {"", 1, 1, "an empty sound: it starts with 'effect' or 'tune'"},
        {"# nothing\nsquare 10 100 100 50 50\n", 2, 1, "a sound starts with 'effect' or 'tune'"},
        {"effect\nsaw 10 100 100 50 50\n", 2, 1,
         "unknown wave 'saw' (square, pulse25, pulse12, triangle, noise or rest)"},
        {"effect\nsquare 0 100 100 50 50\n", 2, 8, "milliseconds must be a number from 1 to 10000"},
        {"effect\nsquare 10 100 100 50 101\n", 2, 22, "a volume must be a percentage from 0 to 100"},
        {"effect\r\nsquare 10 100 100 50\r\n", 2, 1,
         "expected 'WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME'"},
        {"effect\nrest 6000\nrest 4001\n", 3, 6, "the effect is longer than ten seconds"},
        {"effect\n", 1, 1, "the effect holds no segments"},
        {"tune\nvoice square 20\n", 2, 1, "'tempo N' must come before the first phrase or voice"},
        {tune + "tempo 130\n", 3, 1, "the tempo is set once, before the first phrase or voice"},
        {tune + "notes C4:4\n", 3, 1, "'voice WAVE VOLUME' or 'phrase NAME' must come before its notes"},
        {tune + "voice square 20\nnotes C4:4 H4:4\n", 4, 12, "unknown note 'H4'"},
        {tune + "voice square 20\nnotes C4:3\n", 4, 10,
         "a length must be 1, 2, 4, 8, 16 or 32, with a dot for half as long again"},
        {tune + "voice square 20\nnotes C4\n", 4, 7,
         "expected NOTE:LENGTH such as C5:4, G#3:8. or -:2, or a phrase named above, found 'C4'"},
        {tune + "voice square 20 0\n", 3, 17, "a fall must be a number of milliseconds from 1 to 10000"},
        {tune + "phrase a\nvoice square 20\n", 4, 1, "the phrase or voice above has no notes"},
        {tune + "phrase Big\n", 3, 8, "a phrase's name is small letters, digits and '_', starting with a letter"},
        {tune + "phrase a\nnotes B8:4\nvoice square 20\nnotes a+1\n", 6, 7, "'a+1' goes outside C0 to B8"},
        {tune + "phrase a\nnotes C4:4\nvoice square 20\nnotes a*2\n", 6, 7,
         "expected NOTE:LENGTH such as C5:4, G#3:8. or -:2, or a phrase named above, found 'a*2'"},
        // Two minutes at 120 are 60 whole notes: a phrase of 32 of them twice is too long.
        {tune + "phrase a\nnotes C4:1 C4:1 C4:1 C4:1 C4:1 C4:1 C4:1 C4:1\nphrase b\nnotes a a a a\n"
                "voice square 20\nnotes b b\n", 8, 9, "the tune is longer than two minutes"},
        // Three voices of two minutes each are six minutes: a fourth note more is too much to make.
        {tune + "phrase a\nnotes C4:1 C4:1 C4:1 C4:1 C4:1 C4:1 C4:1 C4:1\nphrase b\nnotes a a a a\n"
                "voice square 20\nnotes b a a a C4:1 C4:1 C4:1 C4:1\nvoice square 20\nnotes b a a a C4:1 C4:1 C4:1 C4:1\n"
                "voice square 20\nnotes b a a a C4:1 C4:1 C4:1 C4:1\nvoice triangle 20\nnotes C4:4\n", 14, 7,
         "the voices together are longer than six minutes"},
    };
    for (const Case& c : cases) {
        const Made made = make(c.source);
        EXPECT_EQ(made.error, c.says) << c.source;
        EXPECT_EQ(made.line, c.line) << c.source;
        EXPECT_EQ(made.column, c.column) << c.source;
        EXPECT_TRUE(made.samples.empty()) << c.source;
    }
}

TEST(SoundText, PhrasesMayNestOnlySoDeepAndATuneHoldsEightVoices) {
    std::string deep = "tune\ntempo 400\nphrase p0\nnotes C4:32\n";
    for (int i = 1; i < platform::sound::max_phrase_depth; ++i)
        deep += "phrase p" + std::to_string(i) + "\nnotes p" + std::to_string(i - 1) + "\n";
    EXPECT_EQ(make(deep + "voice square 20\nnotes p15\n").error, "");
    const Made deeper = make(deep + "phrase p16\nnotes p15\n");
    EXPECT_EQ(deeper.error, "phrases nest at most 16 deep");
    std::string voices = "tune\ntempo 120\n";
    for (int i = 0; i < 9; ++i) voices += "voice triangle 5\nnotes C4:4\n";
    const Made nine = make(voices);
    EXPECT_EQ(nine.error, "a tune has at most 8 voices");
    EXPECT_EQ(nine.line, 19);
}
