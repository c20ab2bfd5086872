// The hero's movement on small maps: the start grace, falling and landing, walls and ceilings, the
// camera, and the push-out of a big hero's head.
#include "core/game_state.h"
#include "core/pictures.h"
#include "player/player.h"
#include "render/input.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <string>

namespace {

// Two rows of ground: the hero's feet rest at y 544.
TileMap flat_ground(int width = 60) {
    return text_map({std::string(width, '='), std::string(width, '=')});
}

}  // namespace

using HeroMovement = GameTest;

TEST_F(HeroMovement, GraceHoldsAHeroPlacedAPixelAboveTheGroundForFiveFrames) {
    // The fresh hero at y 503 is one pixel above the ground. In its first frame it still has the
    // constructor's big picture, whose feet reach the ground, until the picture choice makes it
    // small; from then on each quiet frame asks `airborne` five times (friction, gravity twice,
    // picture choice twice) and spends a grace answer each time.
    start_level(flat_ground());
    play_frames(1);
    EXPECT_EQ(player.start_grace, 1);
    play_frames(4);
    EXPECT_EQ(player.y, 503);
    EXPECT_EQ(player.start_grace, 21);
    EXPECT_EQ(player.vy, 0.0f);
    play_frames(1);
    EXPECT_EQ(player.vy, 0.8f);
    play_frames(1);
    EXPECT_EQ(player.y, 503);  // below speed 1 nothing moves down
    EXPECT_EQ(player.vy, 1.6f);
    play_frames(1);
    EXPECT_EQ(player.y, 504);  // one pixel, then the ground
    EXPECT_EQ(player.vy, 0.0f);
    play_frames(30);
    EXPECT_EQ(player.y, 504);
    EXPECT_EQ(player.start_grace, 21);  // standing on ground costs no grace
}

TEST_F(HeroMovement, FreeFallIsCappedAndLandsFlushOnTheGround) {
    start_level(flat_ground(), 67, 100);
    player.start_grace = 21;
    player.vy = 15.6f;
    play_frames(1);
    EXPECT_EQ(player.vy, 16.4f);  // the last step passes 16
    play_frames(1);
    EXPECT_EQ(player.vy, 16.4f);
    play_frames(40);
    EXPECT_EQ(player.y + player.sprite.height, 544);
    EXPECT_EQ(player.vy, 0.0f);
}

TEST_F(HeroMovement, WallsStopTheHeroFlushAndCeilingsStopItsRise) {
    TileMap map = text_map({
        "..XX..........",  // row 13: a ceiling 89 pixels above the hero's head
        "..............",
        ".X........X...",
        ".X........X...",
        ".X........X...",
        "==============",
        "==============",
    });
    start_level(map, 67, 504);
    player.start_grace = 21;
    play_frames(60, {DIK_RIGHT});
    EXPECT_EQ(player.world_x(), 10 * 32 - 32);  // its right edge on the wall's left edge
    play_frames(90, {DIK_LEFT});
    EXPECT_EQ(player.world_x(), 2 * 32);
    play_frames(20);

    // A held jump would rise 128 pixels; the ceiling's bottom row (y 415) stops the head.
    int highest = player.y;
    play_frames(1, {DIK_SPACE});
    for (int i = 0; i < 40; ++i) {
        play_frames(1, {DIK_SPACE});
        highest = std::min(highest, player.y);
    }
    EXPECT_EQ(highest, 415);
    EXPECT_EQ(player.y, 504);
}

TEST_F(HeroMovement, CameraScrollsAtTheScreenThresholdsAndStopsAtTheMapEnd) {
    start_level(flat_ground(100));  // the scroll ends at 100 * 32 - 805 = 2395
    struct Case {
        int32_t x, scroll, d, x_after, scroll_after;
    };
    const Case cases[] = {
        {499, 0, 1, 500, 0},        {500, 0, 1, 500, 1},        {500, 2394, 1, 500, 2395},
        {500, 2395, 1, 501, 2395},  {900, 2395, 1, 901, 2395},  {101, 10, -1, 100, 10},
        {100, 10, -1, 100, 9},      {100, 0, -1, 99, 0},        {2, 0, -1, 1, 0},
        {1, 0, -1, 1, 0},
    };
    for (const Case& c : cases) {
        player.x = c.x;
        player.scroll = c.scroll;
        player.shift_x(c.d);
        EXPECT_EQ(player.x, c.x_after) << c.x << " " << c.scroll << " " << c.d;
        EXPECT_EQ(player.scroll, c.scroll_after) << c.x << " " << c.scroll << " " << c.d;
    }

    // Walking right the hero stays at screen x 500 while the map scrolls; the tiles follow a frame
    // later.
    start_level(flat_ground(100), 450, 504);
    player.start_grace = 21;
    play_frames(60, {DIK_RIGHT});
    EXPECT_EQ(player.x, 500);
    EXPECT_GT(player.scroll, 100);
    int32_t scroll_before = player.scroll;
    play_frames(1, {DIK_RIGHT});
    EXPECT_EQ(game_state.camera_x, scroll_before);
}

TEST_F(HeroMovement, BigHeroWithItsHeadInABlockIsPushedOutToTheLeft) {
    TileMap map = text_map({
        ".....X.....",  // row 16, at the big hero's head height
        "...........",
        "===========",
        "===========",
    });
    start_level(map, 150, 472);
    player.power = 1;
    player.load_sprite_set();
    player.sprite = big_stand_sprite;
    // One pixel per sub-step while the head box (x + 5 .. x + 27) overlaps the block's 161 .. 191.
    play_frames(1);
    EXPECT_EQ(player.world_x(), 133);
    play_frames(1);
    EXPECT_EQ(player.world_x(), 133);
}
