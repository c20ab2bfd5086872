// The frame loop as a player meets it: the title menu, the extra-life rules, the timers, the
// heads-up display and the debug overlay, checked on the pictures the game presents.
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "shell/flow.h"
#include "tests/support/test_support.h"
#include "world/world_step.h"

#include <vector>

namespace headless = platform::headless;

namespace {

constexpr uint32_t white = 0xFFFFFFFF;

// Plays to the end of the next game frame (through the menu and a banner, when they come first)
// with the keys held for its whole length.
bool frame_with(std::initializer_list<int> held) {
    for (int k : held) headless::set_key(k, true);
    bool more = play_frame();
    for (int k : held) headless::set_key(k, false);
    return more;
}

// Starts a game from the menu: Return held on the first pass, then the banner.
void start_game() {
    headless::set_key(DIK_RETURN, true);
    int presents_before = headless::presents();
    ASSERT_TRUE(play_frame());
    headless::set_key(DIK_RETURN, false);
    ASSERT_TRUE(game_state.in_game);
    // The menu pass, the banner's 100 passes, and the game frame's own present.
    ASSERT_EQ(headless::presents() - presents_before, 102);
}

// True when the text drawn alone at (x, y) matches the picture in the back buffer there.
bool shows_text(int x, int y, const char* text) {
    std::vector<uint32_t> seen;
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 60; ++c) seen.push_back(pixel(x + c, y + r));
    platform::device_clear(0xFF000000);
    draw_text(x, y, text, game_font, white);
    bool same = true;
    bool ink = false;
    for (int r = 0; r < 13; ++r) {
        for (int c = 0; c < 60; ++c) {
            // Where the lone text has full ink, the frame must have it too.
            bool full_ink = pixel(x + c, y + r) == white;
            ink = ink || full_ink;
            if (full_ink && seen[r * 60 + c] != white) same = false;
        }
    }
    return same && ink;
}

}  // namespace

using FrameTest = GameTest;

TEST_F(FrameTest, MenuCursorTogglesOnNewPressesOnly) {
    std::vector<headless::InputChange> script = {
        {0, DIK_DOWN, true}, {3, DIK_DOWN, false}, {4, DIK_UP, true}, {4, DIK_DOWN, true},
        {6, DIK_UP, false},  {6, DIK_DOWN, false}, {8, DIK_RETURN, true}};
    headless::set_script(script);
    std::vector<int> cursor_rows;
    headless::set_present_hook([&](int n, const uint32_t* p, int, int) {
        if (n < 2 || n > 9) return;
        // The cursor ">" at x 340..348 on row 350 or 400 (the menu text starts at 350).
        int row = -1;
        for (int y : {350, 400})
            for (int dy = 0; dy < 13; ++dy)
                for (int x = 340; x < 348; ++x)
                    if (p[(y + dy) * 800 + x] == white) row = y;
        cursor_rows.push_back(row);
    });
    ASSERT_TRUE(frame_with({}));
    headless::set_present_hook(nullptr);
    // Present n shows pass n - 1, which drew the choice before its own keys: Down held over three
    // passes moves once, Up and Down pressed together move once more; Return then starts on
    // "Start Game".
    EXPECT_EQ(cursor_rows, (std::vector<int>{350, 400, 400, 400, 350, 350, 350, 350}));
    EXPECT_TRUE(game_state.in_game);
    EXPECT_EQ(game_state.lives, 3);
}

TEST_F(FrameTest, MenuEndsTheProgramOnEscapeOrExitGame) {
    EXPECT_FALSE(frame_with({DIK_ESCAPE}));
    EXPECT_FALSE(game_state.in_game);

    headless::reset();
    std::vector<headless::InputChange> script = {{1, DIK_DOWN, true}, {2, DIK_SPACE, true}};
    headless::set_script(script);
    EXPECT_FALSE(play_frame());
    EXPECT_FALSE(game_state.in_game);
}

TEST_F(FrameTest, HeldReturnStartsAtOnceWithTheBannerAndResetsScore) {
    game_state.score = 1234;
    game_state.lives = -1;
    player.power = 1;
    start_game();
    EXPECT_EQ(game_state.lives, 3);
    EXPECT_EQ(game_state.score, 0);
    EXPECT_EQ(player.power, 0);
}

TEST_F(FrameTest, CoinsAndScorePayExtraLives) {
    start_game();
    game_state.coins = 99;
    frame_with({});
    EXPECT_EQ(game_state.lives, 3);
    game_state.coins = 100;
    frame_with({});
    EXPECT_EQ(game_state.lives, 4);
    EXPECT_EQ(game_state.coins, 0);

    game_state.score = 20000;
    frame_with({});
    EXPECT_EQ(game_state.lives, 5);
    EXPECT_EQ(game_state.score, 20001);
    frame_with({});
    EXPECT_EQ(game_state.lives, 5);
    for (int score : {19900, 20100, 40100}) {
        game_state.score = score;
        frame_with({});
        EXPECT_EQ(game_state.lives, 5) << score;
    }
    game_state.score = 40000;
    frame_with({});
    EXPECT_EQ(game_state.lives, 6);
}

TEST_F(FrameTest, ChainSurvivesSixtyFramesWithoutAKill) {
    start_game();
    game_state.combo = 3;
    game_state.combo_timer = 0;
    for (int i = 1; i <= 60; ++i) frame_with({});
    EXPECT_EQ(game_state.combo_timer, 60);
    EXPECT_EQ(game_state.combo, 3);
    frame_with({});
    EXPECT_EQ(game_state.combo, 0);
    EXPECT_EQ(game_state.combo_timer, 0);
}

TEST_F(FrameTest, BumpLockAgesOutAndRightShiftKeepsItAlternating) {
    start_game();
    game_state.bump_lock = 1;  // a bump in the last frame
    frame_with({});
    EXPECT_EQ(game_state.bump_lock, 2);
    frame_with({});
    EXPECT_EQ(game_state.bump_lock, 3);
    frame_with({});
    EXPECT_EQ(game_state.bump_lock, 0);
    frame_with({});
    EXPECT_EQ(game_state.bump_lock, 0);
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        frame_with({DIK_RSHIFT});
        seen.push_back(game_state.bump_lock);
    }
    // Raised after each world step, aged at the next frame's start: cleared every other frame.
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 1, 3}));
}

TEST_F(FrameTest, PacesGameFramesAt33Milliseconds) {
    start_game();
    // Presents take no time here, so the pace's wait alone moves the clock: a missing wait or a
    // shorter frame shows at once.
    headless::set_present_ms(0);
    frame_with({});
    uint32_t before = platform::time_ms();
    for (int i = 0; i < 10; ++i) frame_with({});
    EXPECT_EQ(platform::time_ms() - before, 330u);
    before = platform::time_ms();
    frame_with({DIK_S});  // slow motion: the hero's frame sleeps 200 ms and the frame loop 50 ms
    EXPECT_EQ(platform::time_ms() - before, 283u);
}

TEST_F(FrameTest, FirstPictureIsTransparentBlackAndLaterOnesStartOpaqueBlack) {
    // Start-up draws nothing, so the first present shows the first picture as it was cleared.
    present_frame();
    ASSERT_EQ(headless::presents(), 1);
    EXPECT_EQ(count_shown(0x00000000, 0, 0, 800, 600), 800 * 600);
    present_frame();
    EXPECT_EQ(count_shown(0xFF000000, 0, 0, 800, 600), 800 * 600);
}

TEST_F(FrameTest, HeadsUpDisplayAndDebugOverlayShowTheirValues) {
    start_game();
    game_state.score = 4500;
    game_state.coins = 12;
    // Frozen, the hero takes no keys and does not move: its velocities stay as set.
    world_frozen = true;
    player.vx = -0.9f;
    player.vy = -7.8f;
    frame_with({DIK_D});
    // The frame's picture is still in the back buffer.
    EXPECT_TRUE(shows_text(10, 20, "4500"));
    frame_with({DIK_D});
    EXPECT_TRUE(shows_text(700, 20, "12"));
    frame_with({DIK_D});
    EXPECT_TRUE(shows_text(50, 380, "0"));  // -0.9 truncates toward zero
    frame_with({DIK_D});
    EXPECT_TRUE(shows_text(50, 400, "-7"));
    EXPECT_EQ(player.vy, -7.8f);
    frame_with({DIK_D});
    EXPECT_TRUE(shows_text(2, 330, "DEBUG"));
    frame_with({});
    EXPECT_EQ(pixel(5, 335), 0xFF00C0FFu);  // no overlay once D is up: sky there
}

TEST_F(FrameTest, EscapeOrLeftButtonDuringPlayEndsTheProgram) {
    start_game();
    EXPECT_TRUE(frame_with({}));
    EXPECT_FALSE(frame_with({DIK_ESCAPE}));
    EXPECT_FALSE(frame_with({headless::mouse1}));
}

TEST_F(FrameTest, FrameRateCountsFramesOfTheLastSecond) {
    start_game();
    for (int i = 0; i < 40; ++i) frame_with({});
    // The window opens at the end of the first frame and closes at the start of the first frame
    // that begins more than 1000 ms later: with frames starting 33 ms apart, frame 33. It holds
    // the 32 frames that ended inside it.
    EXPECT_EQ(game_state.fps, 32);
}
