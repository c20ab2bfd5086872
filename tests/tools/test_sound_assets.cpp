// brickrun-assets sound: a sound to listen to without the game, the very samples the game makes
// from the same text; a bad source is refused in one line and nothing is written.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound_text.h"
#include "platform/wav_file.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs brickrun-assets with these arguments; its exit status, and stderr in `err`.
int assets_tool(const std::string& arguments, const fs::path& err)
{
    const std::string command = std::string(BRICKRUN_ASSETS_TOOL) + " " + arguments + " 2>" + err.string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SoundCommand, WritesTheSamplesTheGameMakes)
{
    ScratchFolder scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string source = std::string(BRICKRUN_ASSETS) + "/sounds/coin.txt";
    const fs::path out = scratch.path / "coin.wav";
    ASSERT_EQ(assets_tool("sound " + source + " " + out.string(), scratch.path / "err"), 0);
    const platform::sound::Made made = platform::sound::make(read_text(source));
    ASSERT_EQ(made.error, "");
    const std::string wav = read_text(out);
    const std::vector<unsigned char> expected = platform::wav_file_bytes(made.samples);
    EXPECT_TRUE(wav == std::string(expected.begin(), expected.end()));
}

TEST(SoundCommand, RefusesABadSourceWithOneLineAndWritesNothing)
{
    ScratchFolder scratch;
    ASSERT_FALSE(scratch.path.empty());
    const std::string bad = (scratch.path / "bad.txt").string(), out = (scratch.path / "out.wav").string();
    std::ofstream(bad) << "effect\nsquare 10 100 100 50\n";
    EXPECT_EQ(assets_tool("sound " + bad + " " + out, scratch.path / "err"), 1);
    EXPECT_EQ(read_text(scratch.path / "err"),
              bad + ":2:1: expected 'WAVE MILLISECONDS FROM_HZ TO_HZ FROM_VOLUME TO_VOLUME'\n");
    EXPECT_FALSE(fs::exists(out));
}
