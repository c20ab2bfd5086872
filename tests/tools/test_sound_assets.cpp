// brickrun-assets sound: a sound to listen to without the game, the very samples the game makes
// from the same text; a bad source is refused in one line and nothing is written.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound_text.h"
#include "platform/wav_file.h"
#include "tests/support/scratch.h"

namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(SoundCommand, WritesTheSamplesTheGameMakes)
{
    const std::string source = std::string(BRICKRUN_ASSETS) + "/sounds/coin.txt";
    const fs::path out = scratch_files::scratch("coin.wav");
    const auto r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL, {"sound", source, out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const platform::sound::Made made = platform::sound::make(read_text(source));
    ASSERT_EQ(made.error, "");
    const std::string wav = read_text(out);
    const std::vector<unsigned char> expected = platform::wav_file_bytes(made.samples);
    EXPECT_TRUE(wav == std::string(expected.begin(), expected.end()));
}

TEST(SoundCommand, RefusesABadSourceWithOneLineAndWritesNothing)
{
    const std::string bad = scratch_files::scratch("bad.txt").string();
    const std::string out = scratch_files::scratch("out.wav").string();
    std::ofstream(bad) << "effect\nsquare 10 100 100 50\n";
    const auto r = scratch_files::run_program(BRICKRUN_ASSETS_TOOL, {"sound", bad, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              bad + ":2:1: expected 'WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME'\n");
    EXPECT_FALSE(fs::exists(out));
}
