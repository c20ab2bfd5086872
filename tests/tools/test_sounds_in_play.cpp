// What a player hears, when it happens: the whole-game clear played headless, every present's
// announced sounds set against what changed in the game in the same frame; and the run's mixed
// sound, the same in two runs and in the replay of a recording of it.
#include <gtest/gtest.h>

#include "core/game_state.h"
#include "enemies/enemy.h"
#include "platform/audio.h"
#include "player/player.h"
#include "tests/support/play.h"
#include "tests/support/runner_process.h"
#include "world/object_list.h"

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
    // 3400 presents of 33 ms, less the ones the banners and waits move on: over 100 s at 48 kHz.
    ASSERT_GT(sound.size(), 44u + 2u * 48000 * 100);
    EXPECT_TRUE(sound == slurp(second)) << "two runs of the same script sound different";
    EXPECT_TRUE(sound == slurp(replayed)) << "the replay sounds different from the run";
    EXPECT_NE(sound.find_first_not_of('\0', 44), std::string::npos) << "the run is silent";
}
