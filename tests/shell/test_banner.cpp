// The level banner and the game-over screen.
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/input.h"
#include "shell/banner.h"
#include "shell/flow.h"
#include "tests/support/test_support.h"

namespace headless = platform::headless;

using BannerTest = GameTest;

namespace {

// Shows the banner from its start to its end as the flow does, one step a present, and stops the
// flow there; returns how many presents it took.
int show_banner() {
    int before = headless::presents();
    start_level_banner(Phase::ended);
    while (game_step() && finish_step()) {
    }
    return headless::presents() - before;
}

}  // namespace

TEST_F(BannerTest, LastsThreePointThreeSecondsOfClockWhateverThePresentRate) {
    EXPECT_EQ(show_banner(), 100);  // 33 ms per present

    // Presents that take 100 ms: the banner ends after 33 of them.
    headless::set_present_hook([](int, const uint32_t*, int, int) { platform::sleep_ms(67); });
    EXPECT_EQ(show_banner(), 33);
    headless::set_present_hook(nullptr);
}

TEST_F(BannerTest, ShowsLevelAndLivesWithTheHeroPicture) {
    game_state.lives = 0;  // the last life is still played
    game_state.level_index = 1;
    show_banner();
    platform::device_present();
    // "Level 2" and "x 0" in white over black, and the hero picture at (370, 300).
    EXPECT_GT(count_shown(0xFFFFFFFF, 360, 200, 420, 214), 10);
    EXPECT_GT(count_shown(0xFFFFFFFF, 405, 317, 430, 331), 5);
    EXPECT_LT(count_shown(0xFF000000, 370, 300, 402, 332), 32 * 32);
    EXPECT_EQ(count_shown(0xFF000000, 0, 0, 360, 200), 360 * 200);
    EXPECT_EQ(game_state.level_index, 1);  // the level banner changes nothing
}

TEST_F(BannerTest, KeysAreReadDuringTheBannerButNotOnGameOver) {
    headless::set_key(DIK_UP, true);
    show_banner();
    EXPECT_TRUE(key_held(DIK_UP));
    EXPECT_FALSE(key_pressed(DIK_UP));  // held across the banner: not new in the next frame

    headless::set_key(DIK_DOWN, true);
    game_state.lives = -1;
    show_banner();
    EXPECT_FALSE(key_held(DIK_DOWN));
}

TEST_F(BannerTest, GameOverShowsTheScoreAndReturnsToTheMenuOnStartGame) {
    game_state.in_game = true;
    game_state.level_index = 2;
    game_state.lives = -1;
    game_state.score = 31400;
    show_banner();
    EXPECT_FALSE(game_state.in_game);
    EXPECT_EQ(game_state.level_index, 0);
    EXPECT_EQ(game_state.score, 31400);
    platform::device_present();
    EXPECT_GT(count_shown(0xFFFFFFFF, 350, 275, 420, 289), 10);  // "Game Over"
    EXPECT_GT(count_shown(0xFFFFFFFF, 400, 295, 440, 309), 10);  // the score

    // The next turn shows the menu with the cursor on "Start Game": Space starts a new game.
    headless::set_key(DIK_SPACE, true);
    flow.phase = Phase::turn;
    EXPECT_TRUE(play_frame());
    EXPECT_TRUE(game_state.in_game);
    EXPECT_EQ(game_state.lives, 3);
    EXPECT_EQ(game_state.score, 0);
}
