// The sound compiler: every shipped effect and tune compiles to a WAV the game's mixer reads, as
// long as its source says and not silent; a bad source is refused at its line and column.
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assets/sound.h"

namespace {

struct Wav {
    std::uint32_t rate = 0;
    int channels = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b.at(at + static_cast<std::size_t>(i));
    return v;
}

// The compiler writes one fmt chunk and one data chunk, in that order.
Wav parse(const std::vector<std::uint8_t>& b)
{
    Wav w;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le(b, 20, 2), 1u);  // PCM
    w.channels = static_cast<int>(le(b, 22, 2));
    w.rate = le(b, 24, 4);
    w.bits = static_cast<int>(le(b, 34, 2));
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const std::uint32_t bytes = le(b, 40, 4);
    EXPECT_EQ(bytes, b.size() - 44);
    for (std::size_t i = 0; i + 1 < bytes; i += 2)
        w.samples.push_back(static_cast<std::int16_t>(le(b, 44 + i, 2)));
    return w;
}

std::string read_text(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// An effect's length as its source gives it: the sum of its segments' milliseconds.
int effect_ms(const std::string& source)
{
    std::istringstream lines(source);
    std::string line;
    int total = 0;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string wave;
        int ms = 0;
        if (words >> wave >> ms && wave[0] != '#')
            total += ms;
    }
    return total;
}

}  // namespace

TEST(Sound, EveryShippedSoundHasItsLengthIsHeardAndStartsAndEndsQuietly)
{
    int effects = 0, tunes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(BRICKRUN_ASSETS) + "/sounds")) {
        const std::string name = entry.path().stem().string();
        const std::string source = read_text(entry.path());
        const assets::Compiled result = assets::compile_sound(source);
        ASSERT_FALSE(result.error) << name << ":" << result.error->line << ":" << result.error->column << ": "
                                   << result.error->message;
        const Wav wav = parse(result.bytes);
        EXPECT_EQ(wav.rate, 48000u) << name;
        EXPECT_EQ(wav.channels, 1) << name;
        EXPECT_EQ(wav.bits, 16) << name;
        int loudest = 0;
        for (std::int16_t s : wav.samples)
            loudest = std::max(loudest, std::abs(static_cast<int>(s)));
        EXPECT_GT(loudest, 3000) << name << " is (nearly) silent";
        // Faded at both ends: an effect never clicks, a tune loops without a click.
        EXPECT_LT(std::abs(wav.samples.front()), 300) << name;
        EXPECT_LT(std::abs(wav.samples.back()), 300) << name;
        if (source.find("\ntune") != std::string::npos) {
            ++tunes;
            EXPECT_GT(wav.samples.size(), 48000u * 4) << name << ": a tune of a few seconds at least";
        } else {
            ++effects;
            EXPECT_EQ(wav.samples.size(), static_cast<std::size_t>(effect_ms(source)) * 48) << name;
        }
    }
    EXPECT_EQ(effects, 18);
    EXPECT_EQ(tunes, 4);
}

TEST(Sound, TunesLastAsLongAsTheirLongestVoice)
{
    // 120 quarters a minute: a quarter is 500 ms. The second voice is longer: 2 s.
    const assets::Compiled result = assets::compile_sound(
        "tune\ntempo 120\nvoice square 20\nnotes C4:4 -:4\nvoice triangle 20\nnotes A4:2.\nnotes E4:4 # the last\n");
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_EQ(parse(result.bytes).samples.size(), 2u * 48000);
}

TEST(Sound, RefusesBadSourcesAtTheirLineAndColumn)
{
    struct Case {
        const char* source;
        int line, column;
        const char* says;
    };
    const Case cases[] = {
        {"", 1, 1, "an empty sound: it starts with 'effect' or 'tune'"},
        {"# nothing\nsquare 10 100 100 50 50\n", 2, 1, "a sound starts with 'effect' or 'tune'"},
        {"effect\nsaw 10 100 100 50 50\n", 2, 1, "unknown wave 'saw' (square, triangle, noise or rest)"},
        {"effect\nsquare 0 100 100 50 50\n", 2, 8, "milliseconds must be a number from 1 to 120000"},
        {"effect\nsquare 10 100 100 50 101\n", 2, 22, "a volume must be a percentage from 0 to 100"},
        {"effect\nsquare 10 100 100 50\n", 2, 1, "expected 'WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME'"},
        {"effect\nrest 100000\nrest 30000\n", 3, 6, "the sound is longer than two minutes"},
        {"effect\n", 1, 1, "the sound holds no samples"},
        {"tune\nvoice square 20\n", 2, 1, "'tempo N' must come before the first voice"},
        {"tune\ntempo 120\nnotes C4:4\n", 3, 1, "'voice WAVE VOLUME' must come before its notes"},
        {"tune\ntempo 120\nvoice square 20\nnotes C4:4 H4:4\n", 4, 12, "unknown note 'H4'"},
        {"tune\ntempo 120\nvoice square 20\nnotes C4:3\n", 4, 10,
         "a length must be 1, 2, 4, 8 or 16, with a dot for half as long again"},
        {"tune\ntempo 120\nvoice square 20\nnotes C4\n", 4, 7,
         "expected NOTE:LENGTH such as C5:4, G#3:8. or -:2, found 'C4'"},
    };
    for (const Case& c : cases) {
        const assets::Compiled result = assets::compile_sound(c.source);
        ASSERT_TRUE(result.error) << c.source;
        EXPECT_EQ(result.error->line, c.line) << c.source;
        EXPECT_EQ(result.error->column, c.column) << c.source;
        EXPECT_EQ(result.error->message, c.says) << c.source;
    }
}

TEST(Sound, CommandRefusesABadSourceWithOneLineAndWritesNothing)
{
    const std::filesystem::path folder = scratch_files::test_folder();
    const std::string bad = (folder / "bad.txt").string(), out = (folder / "out.wav").string();
    std::ofstream(bad) << "effect\nsquare 10 100 100 50\n";
    const auto r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL, {"sound", bad, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, bad + ":2:1: expected 'WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME'\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}
