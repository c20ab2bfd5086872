// What a player hears, when it happens: the whole-game clear played headless, every present's
// announced sounds set against what changed in the game in the same frame; the run's mixed sound,
// as long as the run, the same in two runs and in the replay of a recording of it, never clipped,
// and its effects clearly above the music.
#include <gtest/gtest.h>

#include "core/game_state.h"
#include "enemies/enemy.h"
#include "platform/audio.h"
#include "player/player.h"
#include "tests/support/play.h"
#include "tests/support/runner_process.h"
#include "tests/support/sound_measures.h"
#include "world/object_list.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct EnemySeen {
    const void* who;
    bool dead, knocked;
    int32_t type;
    float vx;
};

// What one present showed: its sounds, and the state they answer to.
struct Frame {
    std::map<std::string, int> sounds;
    bool jumping;
    int32_t pipe_timer, coins, level_index;
    Screen screen;
    std::vector<EnemySeen> enemies;  // by entry index; who null for other kinds
};

std::vector<Frame> play_game() {
    std::vector<Frame> frames;
    play_script((fs::path(BRICKRUN_CLEARS) / "game.txt").string(), BRICKRUN_DATA, 400, [&](int) {
        Frame f{{}, player.jumping, player.pipe_timer, game_state.coins, game_state.level_index,
                current_screen, {}};
        for (platform::Sound s : platform::audio::since_present())
            ++f.sounds[platform::audio::sound_name(s)];
        for (int32_t j = 0; j < objects.count; ++j) {
            const ObjectEntry& e = objects.entries[j];
            if (e.kind != KIND_ENEMY) {
                f.enemies.push_back({nullptr, false, false, 0, 0});
                continue;
            }
            const auto* enemy = static_cast<const Enemy*>(e.entity());
            f.enemies.push_back({enemy, enemy->dead, enemy->knocked, enemy->enemy_type, enemy->vx});
        }
        frames.push_back(f);
    });
    return frames;
}

// Stomps between two presents: a walker killed from above, a snail pressed into its shell, a
// moving shell stopped.
int stomps_between(const Frame& before, const Frame& now) {
    int stomps = 0;
    for (size_t j = 0; j < now.enemies.size() && j < before.enemies.size(); ++j) {
        const EnemySeen &a = before.enemies[j], &b = now.enemies[j];
        if (!b.who || a.who != b.who) continue;
        if (!a.dead && b.dead && !b.knocked) ++stomps;
        if (a.type == ENEMY_SHELL_WALKER && b.type == ENEMY_SHELL) ++stomps;
        if (a.type == ENEMY_SHELL && b.type == ENEMY_SHELL && a.vx != 0 && b.vx == 0 && !b.dead)
            ++stomps;
    }
    return stomps;
}

}  // namespace

TEST(SoundsInPlay, EachEventIsAnnouncedOnItsOwnFrameAndOnlyThen) {
    const std::vector<Frame> frames = play_game();
    ASSERT_GT(frames.size(), 3000u);
    int jumps = 0, stomps = 0, pipes = 0, coins = 0, banners = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        const Frame &before = frames[i - 1], &now = frames[i];
        auto heard = [&](const char* name) {
            auto it = now.sounds.find(name);
            return it == now.sounds.end() ? 0 : it->second;
        };
        const std::string at = "present " + std::to_string(i + 1);
        // A take-off is the only way into a jump; a wall jump is not one.
        EXPECT_EQ(heard("jump"), !before.jumping && now.jumping ? 1 : 0) << at;
        EXPECT_EQ(heard("pipe"), before.pipe_timer == 0 && now.pipe_timer != 0 ? 1 : 0) << at;
        if (now.level_index == before.level_index && now.coins >= before.coins) {
            EXPECT_EQ(heard("coin"), now.coins - before.coins) << at;
        }
        EXPECT_EQ(heard("stomp"), stomps_between(before, now)) << at;
        const bool banner_starts = (now.screen == Screen::banner) && before.screen != Screen::banner;
        EXPECT_EQ(heard("level_start"), banner_starts ? 1 : 0) << at;
        jumps += heard("jump");
        stomps += heard("stomp");
        pipes += heard("pipe");
        coins += heard("coin");
        banners += heard("level_start");
    }
    // The clear goes through all three levels: it must have heard each kind a few times.
    EXPECT_EQ(pipes, 3);
    EXPECT_EQ(banners, 3);
    EXPECT_GE(jumps, 20);
    EXPECT_GE(stomps, 3);
    EXPECT_GE(coins, 3);
}

TEST(SoundsInPlay, TheRunsSoundIsTheSameEveryTimeAndInTheReplayOfItsRecording) {
    using runner_process::run;
    using runner_process::scratch;
    using runner_process::slurp;
    const std::string clear = (fs::path(BRICKRUN_CLEARS) / "game.txt").string();
    const fs::path first = scratch("first.wav"), second = scratch("second.wav");
    const fs::path replayed = scratch("replayed.wav"), recording = scratch("game.rec");
    ASSERT_EQ(run({"--input", clear, "--presents", "3400", "--audio", first.string(), "--record",
                   recording.string()})
                  .status,
              0);
    ASSERT_EQ(run({"--input", clear, "--presents", "3400", "--audio", second.string()}).status, 0);
    ASSERT_EQ(run({"--replay", recording.string(), "--audio", replayed.string()}).status, 0);
    const std::string sound = slurp(first);
    // Every present moves the headless clock 33 ms, and the clear never sleeps.
    EXPECT_EQ(sound.size(), 44u + 2u * 3400 * 33 * 48);
    EXPECT_TRUE(sound == slurp(second)) << "two runs of the same script sound different";
    EXPECT_TRUE(sound == slurp(replayed)) << "the replay sounds different from the run";
    EXPECT_NE(sound.find_first_not_of('\0', 44), std::string::npos) << "the run is silent";
}

TEST(SoundsInPlay, TheRecordingCoversEveryPresentTheTitleMenuAndItsTuneIncluded) {
    const fs::path menu = runner_process::scratch("menu.wav");
    ASSERT_EQ(runner_process::run({"--presents", "300", "--audio", menu.string()}).status, 0);
    const std::string sound = runner_process::slurp(menu);
    ASSERT_EQ(sound.size(), 44u + 2u * 300 * 33 * 48);
    // The title tune from the first present on: not a tenth of a second without it.
    const auto* samples = reinterpret_cast<const int16_t*>(sound.data() + 44);
    const size_t count = (sound.size() - 44) / 2;
    for (size_t at = 0; at + 4800 <= count; at += 4800) {
        const bool heard = std::any_of(samples + at, samples + at + 4800, [](int16_t s) { return s != 0; });
        ASSERT_TRUE(heard) << "silent from " << at / 48 << " ms";
    }
}

// The whole-game clear as played, its mixed sound and its music alone, with where each effect began.
struct ClearSound {
    std::vector<int16_t> mix, music;
    std::vector<std::pair<size_t, std::string>> starts;
};

ClearSound play_clear_with_sound() {
    ClearSound clear;
    const std::string script = (fs::path(BRICKRUN_CLEARS) / "game.txt").string();
    for (bool effects : {true, false}) {
        // To present 3600: the clear, its game-over screen and the menu after it.
        play_script(script, BRICKRUN_DATA, 602, [&](int) {
            if (!effects) return;
            // The sounds announced before a present start where that present's sound does.
            const size_t at = platform::audio::captured().size() - 33 * 48;
            for (platform::Sound s : platform::audio::since_present())
                clear.starts.push_back({at, platform::audio::sound_name(s)});
        }, [effects] {
            platform::audio::load();
            platform::audio::set_effects_allowed(effects);
            platform::audio::capture();
        });
        (effects ? clear.mix : clear.music) = platform::audio::captured();
    }
    platform::audio::reset();
    return clear;
}

TEST(SoundsInPlay, TheWholeGameClearNeverClipsAndEachEffectStandsAboveTheMusic) {
    const ClearSound clear = play_clear_with_sound();
    ASSERT_EQ(clear.mix.size(), 3600u * 33 * 48);
    EXPECT_EQ(sound_measures::clipped(clear.mix), 0);
    constexpr size_t window = 150 * 48;
    int measured = 0;
    for (const auto& [at, name] : clear.starts) {
        if (name != "jump" && name != "stomp" && name != "coin" && name != "bump") continue;
        ++measured;
        const double mix = sound_measures::rms(clear.mix, at, window);
        const double music = sound_measures::rms(clear.music, at, window);
        EXPECT_GE(sound_measures::decibels(mix / music), 6.0) << name << " at " << at / 48 << " ms";
    }
    EXPECT_GT(measured, 50);
}

TEST(SoundsInPlay, AMonkeyPlaying20000PresentsNeverClips) {
    const fs::path wav = runner_process::scratch("monkey.wav");
    const std::string guide = (fs::path(BRICKRUN_CLEARS) / "game.txt").string();
    ASSERT_EQ(runner_process::run({"--monkey", "1", "--guide", guide, "--presents", "20000",
                                   "--audio", wav.string()})
                  .status,
              0);
    const std::string sound = runner_process::slurp(wav);
    ASSERT_GE(sound.size(), 44u + 2u * 20000 * 33 * 48);
    std::vector<int16_t> samples((sound.size() - 44) / 2);
    std::memcpy(samples.data(), sound.data() + 44, samples.size() * 2);
    EXPECT_EQ(sound_measures::clipped(samples), 0);
}
