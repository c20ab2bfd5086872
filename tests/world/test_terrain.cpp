// How enemies move through the map: speed, walls, gaps, gravity, the map's left end, and the
// windows around the camera in which they wake, move and sleep.
#include "enemies/enemy.h"
#include "player/player.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A small hero standing still on the ground, its grace spent.
void settle_hero() {
    player.start_grace = 21;
    play_frames(1);
}

Enemy* walker() { return nth_object<Enemy>(KIND_ENEMY); }

}  // namespace

using Terrain = GameTest;

TEST_F(Terrain, AWalkerCrossesAOneCellGapTurnsAtAWallAndDropsIntoATwoCellGap) {
    std::string ground(60, '=');
    ground[12] = '.';                    // one cell wide
    ground[30] = ground[31] = '.';       // two cells wide
    std::string above(60, '.');
    above[5] = 'X';
    above[20] = 'w';
    start_level(text_map({above, ground, ground}), 67, 504);
    settle_hero();  // the walker wakes in this frame and moves from the next

    Enemy* w = walker();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->x, 640);
    play_frames(1);
    EXPECT_EQ(w->x, 637);  // 3 pixels a frame
    int32_t leftmost = w->x;
    while (w->vx < 0) {
        play_frames(1);
        leftmost = std::min(leftmost, w->x);
        ASSERT_EQ(w->y, 512) << "at x " << w->x;  // the one-cell gap holds it up
    }
    // Its left edge met the wall at column 5 (x 192) in mid-frame; the turn took it back a pixel.
    EXPECT_EQ(leftmost, 193);
    EXPECT_EQ(w->vx, 3.0f);

    // Right again, to the two-cell gap at x 960: it falls once both its columns are over it, and
    // its first pixel down comes in the frame after vy reaches 1.3.
    while (w->vy == 0) play_frames(1);
    EXPECT_GE(w->x, 960);
    EXPECT_LE(w->x, 962);
    EXPECT_EQ(w->vy, 0.65f);
    play_frames(1);
    EXPECT_EQ(w->vy, 1.3f);
    EXPECT_EQ(w->y, 512);
    play_frames(1);
    EXPECT_GT(w->y, 512);

    float fastest = 0;
    for (int frame = 0; frame < 60 && objects.entries[0].kind == KIND_PLAYER; ++frame) {
        play_frames(1);
        fastest = std::max(fastest, w->vy);
        if (w->y > 700) break;
    }
    EXPECT_NEAR(fastest, 10.4f, 1e-5);  // no more gravity once vy reaches 10
    play_frames(1);
    EXPECT_EQ(nth_object<Enemy>(KIND_ENEMY), nullptr);  // gone from the list below y 700
}

TEST_F(Terrain, EnemiesWakeOnScreenMoveNearItAndSleepFarFromIt) {
    std::string above(100, '.');
    above[26] = 'w';  // x 832
    start_level(text_map({above, std::string(100, '='), std::string(100, '=')}), 67, 504);
    settle_hero();
    Enemy* w = walker();

    auto frame_at = [&](int32_t d) {  // one frame with the walker at x - camera_x = d
        player.scroll = w->x - d;
        play_frames(1);
    };
    frame_at(800);
    EXPECT_FALSE(w->active);
    frame_at(799);
    EXPECT_TRUE(w->active);
    EXPECT_EQ(w->x, 832);  // woken by the frame's tick, after the moves
    frame_at(700);
    EXPECT_EQ(w->x, 829);

    // Awake, it moves only within -330 .. 1099 of the camera and sleeps at -331 or 1200.
    frame_at(1100);
    EXPECT_EQ(w->x, 829);
    EXPECT_TRUE(w->active);
    frame_at(1099);
    EXPECT_EQ(w->x, 826);
    frame_at(-330);
    EXPECT_EQ(w->x, 825);  // one pixel, and it is out of the window
    EXPECT_FALSE(w->active);  // at -331 when ticked
    frame_at(-330);  // asleep, it does not wake here
    EXPECT_FALSE(w->active);
    EXPECT_EQ(w->x, 825);
    frame_at(799);
    frame_at(1199);
    EXPECT_TRUE(w->active);
    frame_at(1200);
    EXPECT_FALSE(w->active);
}

TEST_F(Terrain, AWalkerWalksOffTheMapsLeftEnd) {
    std::string above(40, '.'), wall(40, '.');
    above[3] = 'w';
    wall[39] = 'X';  // left of column 0 the walker's wall test reads this cell
    start_level(text_map({wall, above, std::string(40, '='), std::string(40, '=')}), 400, 504);
    settle_hero();
    Enemy* w = walker();
    // Past x 0 the columns read on into the row above; the ground of column 0 still holds it.
    play_frames(45);
    EXPECT_EQ(w->x, -39);
    EXPECT_EQ(w->vx, -3.0f);
    EXPECT_EQ(w->y, 512);
}

TEST_F(Terrain, AShellWalkerStandsOnTheFloorAndTurnsAtAWallOneCellHigh) {
    // 58 pixels tall: it stands on the cell right of its x alone, and its wall test looks at the
    // two rows its top 32 pixel rows lie in.
    std::string above(40, '.');
    above[4] = 'X';
    above[10] = 's';
    start_level(text_map({above, std::string(40, '='), std::string(40, '=')}), 600, 504);
    settle_hero();
    auto* s = nth_object<Enemy>(KIND_ENEMY);
    int32_t leftmost = s->x;
    for (int frame = 0; frame < 80; ++frame) {
        play_frames(1);
        leftmost = std::min(leftmost, s->x);
        ASSERT_EQ(s->y, 486) << frame;
    }
    EXPECT_EQ(leftmost, 161);
    EXPECT_EQ(s->vx, 3.0f);
}

TEST_F(Terrain, AKnockedShellWalkerRisesThroughACellAboveItsHeadButNotOneAtItsTop) {
    // The ceiling test's cell rectangle is upside down: for this 58-pixel enemy at y 486 it fires
    // on a solid cell at row 16, where its top is, and not on one at row 15, just above its head.
    // (A 32-pixel enemy is never stopped on the way up.)
    for (int row : {15, 16}) {
        std::vector<std::string> rows(5, std::string(40, '.'));
        rows[2][10] = 's';
        rows[row - 15][10] = 'X';
        rows[3] = rows[4] = std::string(40, '=');
        start_level(text_map(rows), 67, 504);
        settle_hero();
        Enemy* s = nth_object<Enemy>(KIND_ENEMY);
        s->kill();
        s->knocked = true;
        s->vy = -6.0f;
        play_frames(1);
        EXPECT_EQ(s->y, row == 15 ? 480 : 486) << row;
        EXPECT_EQ(s->vy, row == 15 ? -5.35f : 0.65f) << row;  // and a frame of gravity
    }
}
