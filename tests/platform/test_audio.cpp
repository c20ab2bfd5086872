// The mixer: effects stacked far past full scale come out unclipped while the music under them goes
// on exactly as it was, and a bad sound source costs one warning and only its own sound.
// Each test makes its sounds from a data folder of its own, the shipped sources and its changes.
#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/sound_text.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace audio = platform::audio;
namespace fs = std::filesystem;

class Mixer : public ::testing::Test {
protected:
    // The shipped sources (the tests run in the built data folder), some written over.
    void SetUp() override {
        folder = scratch_files::test_folder();
        fs::create_directories(folder / "Sounds");
        for (const auto& entry : fs::directory_iterator("Sounds"))
            fs::copy_file(entry.path(), folder / "Sounds" / entry.path().filename());
        platform::set_data_folder(folder.string());
        audio::reset();
    }
    void TearDown() override {
        audio::reset();
        platform::set_data_folder("");
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder / "Sounds" / (name + ".txt"), std::ios::binary) << text;
    }
    std::vector<int16_t> mixed(size_t ms) {
        std::vector<int16_t> out(ms * audio::samples_per_ms);
        audio::mix(out.data(), out.size());
        return out;
    }
    fs::path folder;
};

}  // namespace

TEST_F(Mixer, StackedEffectsNeverClipAndTheMusicUnderThemGoesOnUntouched) {
    // A tune as loud as a tune may be, and eight effects at 60% all at once: 5.3 times full scale.
    const std::string tune = "tune\ntempo 60\nvoice square 50\nnotes C4:1 E4:1\n";
    const std::string effect = "effect\nsquare 1000 440 440 60 60\n";
    write("tune_title", tune);
    write("jump", effect);
    ASSERT_EQ(audio::load(), 22);
    const std::vector<int16_t> music = platform::sound::make(tune).samples;
    const std::vector<int16_t> one_effect = platform::sound::make(effect).samples;

    platform::play_music(platform::Music::title);
    std::vector<int16_t> out = mixed(500);
    for (int i = 0; i < 8; ++i) platform::play_sound(platform::Sound::jump);
    const std::vector<int16_t> stacked = mixed(1000);
    const std::vector<int16_t> after = mixed(500);
    out.insert(out.end(), stacked.begin(), stacked.end());
    out.insert(out.end(), after.begin(), after.end());

    const size_t start = 500 * audio::samples_per_ms;
    const int ceiling = static_cast<int>(audio::ceiling * 32767) + 1;
    int loudest = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        loudest = std::max(loudest, std::abs(static_cast<int>(out[i])));
        // What the mix adds to the music is the effects at some gain from 0 to 1: were the music
        // turned down with them, it would show where the effects are silent.
        const int effects = i >= start && i - start < one_effect.size() ? 8 * one_effect[i - start] : 0;
        const int added = out[i] - music[i];
        ASSERT_LE(std::abs(added), std::abs(effects) + 1) << "sample " << i;
        ASSERT_TRUE(effects >= 0 ? added >= -1 : added <= 1) << "sample " << i;
    }
    EXPECT_LE(loudest, ceiling);
    EXPECT_GT(loudest, ceiling - 400) << "the effects were turned down further than they had to be";
}

TEST_F(Mixer, ABadSourceIsOneWarningAtItsLineAndColumnAndOnlyThatSoundIsSilent) {
    write("jump", "effect\n\nsaw 30 400 700 50 40\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(audio::load(), 21);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "brickrun: warning: sound not made, it will be silent: " + folder.string() +
                  "/Sounds/jump.txt:3:1: unknown wave 'saw' (square, pulse25, pulse12, triangle, "
                  "noise or rest)\n");
    platform::play_sound(platform::Sound::jump);
    for (int16_t s : mixed(100)) ASSERT_EQ(s, 0);
    platform::play_sound(platform::Sound::coin);
    int loudest = 0;
    for (int16_t s : mixed(100)) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_GT(loudest, 5000);
}
