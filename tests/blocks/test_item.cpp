// What comes out of blocks: the coin that counts at once and is gone after 41 frames, and the
// growth item that rises, slides, turns, falls and makes a small hero big.
#include "blocks/block.h"
#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"
#include "world/level_store.h"
#include "world/world_step.h"

#include <string>

namespace {

constexpr uint32_t white = 0xFFFFFFFF;

// The hero at x 67 under a question block at x 64, y 448 (24 pixels above its head), with a
// wall at column `wall` on the ground row.
void under_block(char block, int wall = 39) {
    std::string ground(40, '='), floor_row(40, '.'), blocks(40, '.');
    blocks[2] = block;
    floor_row[wall] = 'X';
    start_level(text_map({blocks, "", floor_row, ground, ground}), 67, 504);
    player.start_grace = 21;
    player.sprite = small_stand_sprite;
    play_frames(1);
}

void bump() {
    play_frames(1, {DIK_SPACE});
    for (int frame = 0; frame < 20 && game_state.bump_lock != 1; ++frame) play_frames(1);
    ASSERT_EQ(game_state.bump_lock, 1);
}

Item* item() { return nth_object<Item>(KIND_ITEM); }

int white_pixels(int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += pixel(x, y) == white;
    return n;
}

}  // namespace

using Items = GameTest;

TEST_F(Items, ACoinCountsAtOncePopsFiftyPixelsUpShows100FromAge29AndLastsFortyOneFrames) {
    under_block('?');
    bump();
    EXPECT_EQ(game_state.score, 100);
    EXPECT_EQ(game_state.coins, 1);
    Item& coin = *item();
    EXPECT_EQ(coin.x, 74);
    EXPECT_EQ(coin.y, 446 - 8);  // made at y 446 and ticked in the same frame
    int frames = 1;
    while (coin.anim < 29) {
        play_frames(1);
        ++frames;
    }
    // Age 28 drew the coin; age 29 draws "100" where the coin stopped, 50 above where it began.
    EXPECT_EQ(white_pixels(74, 396, 110, 410), 0);
    play_frames(1);
    ++frames;
    EXPECT_EQ(coin.y, 396);
    EXPECT_GT(white_pixels(74, 396, 110, 410), 10);
    while (objects.entries[objects.count - 1].kind == KIND_ITEM) {
        play_frames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 41);
    EXPECT_EQ(game_state.coins, 1);
}

TEST_F(Items, AGrowthItemRisesSlidesRightTurnsAtAWallAndIsTakenOnlyFromAge20) {
    under_block('G', 9);  // the wall at x 288
    bump();
    Item& growth = *item();
    EXPECT_EQ(game_state.score, 0);  // nothing counts until it is taken
    player.x = 600;                  // out of its way
    play_frames(15);
    EXPECT_EQ(growth.y, 443 - 32);  // 2 pixels a frame for its first 16 frames
    EXPECT_EQ(growth.vx, 0.0f);
    play_frames(2);
    EXPECT_EQ(growth.vx, 4.0f);
    int32_t x = growth.x;
    play_frames(1);
    EXPECT_EQ(growth.x, x + 4);

    // Off its block it falls to the ground and slides on to the wall, where it turns.
    int32_t rightmost = growth.x;
    for (int frame = 0; frame < 80 && growth.vx > 0; ++frame) {
        play_frames(1);
        rightmost = std::max(rightmost, growth.x);
    }
    EXPECT_EQ(growth.vx, -4.0f);
    EXPECT_EQ(rightmost, 288 - 32);
    EXPECT_EQ(growth.y, 512);

    // Taken by a touch: 200 points and the growth; a second touch does nothing.
    const Rect& b = growth.box;
    EXPECT_EQ(growth.collect(b.left, b.top, b.right, b.bottom), COLLECTED_GROWTH);
    EXPECT_EQ(game_state.score, 200);
    EXPECT_EQ(growth.collect(b.left, b.top, b.right, b.bottom), 0);
    EXPECT_EQ(game_state.score, 200);
    // It hangs where it was while its "200" rises, then leaves the list.
    int32_t y = growth.y;
    play_frames(25);
    EXPECT_EQ(growth.y, y);
    EXPECT_EQ(objects.entries[objects.count - 1].kind, KIND_ITEM);
    play_frames(1);
    EXPECT_EQ(objects.entries[objects.count - 1].kind, KIND_REMOVED);

    // A fresh one is not taken before age 20.
    Item& fresh = *make_level_object<Item>(500, 100, ITEM_GROWTH);
    fresh.anim = 19;
    EXPECT_EQ(fresh.collect(500, 100, 532, 132), 0);
    fresh.anim = 20;
    EXPECT_EQ(fresh.collect(500, 100, 532, 132), COLLECTED_GROWTH);
}

TEST_F(Items, TheHeroTouchingAGrowthItemGrowsOnceAndABigHeroOnlyScores) {
    for (int power : {0, 1}) {
        under_block('G');
        if (power) {
            player.power = 1;
            player.load_sprite_set();
        }
        bump();
        Item& growth = *item();
        growth.anim = 20;   // ready, above the hero's head
        growth.set_y(470);  // overlapping it
        play_frames(1);
        EXPECT_EQ(growth.anim, 301) << power;
        EXPECT_EQ(game_state.score, 200) << power;
        EXPECT_EQ(player.grow_timer > 0, power == 0) << power;
        EXPECT_EQ(world_frozen, power == 0) << power;
        EXPECT_EQ(player.power, 1);
        // Taken in the air, it hangs there while its number rises.
        int32_t y = growth.y;
        play_frames(10);
        EXPECT_EQ(growth.y, y) << power;
        game_state.score = 0;
        play_frames(60);
    }
}

TEST_F(Items, ItemsPlayAndMoveOnlyWithinTheirWindowsAroundTheCamera) {
    start_level(text_map({std::string(40, '='), std::string(40, '=')}), 67, 504);
    player.start_grace = 21;
    play_frames(1);
    // A coin counts at once wherever it is made, but plays only from -30 to 799 of the camera.
    for (int32_t x : {-31, -30, 799, 800}) {
        Item& coin = *make_level_object<Item>(x, 300, ITEM_COIN);
        play_frames(1);
        EXPECT_EQ(coin.anim, x == -31 || x == 800 ? 0 : 1) << x;
    }
    EXPECT_EQ(game_state.coins, 4);
    EXPECT_EQ(game_state.score, 400);
    // A growth item moves from -230 to 999; at x 0 going left it neither moves nor turns.
    for (int32_t x : {-231, -230, 999, 1000, 2}) {
        Item& growth = *make_level_object<Item>(x, 512, ITEM_GROWTH);
        growth.anim = 50;
        growth.vx = x < 0 ? 4.0f : -4.0f;
        play_frames(1);
        int32_t expected = x == -231 || x == 1000 ? x : x == 2 ? 0 : x + (x < 0 ? 4 : -4);
        EXPECT_EQ(growth.x, expected) << x;
        play_frames(1);
        EXPECT_EQ(growth.vx, x < 0 ? 4.0f : -4.0f) << x;
    }
    // Waiting to be taken, its age cycles back from 101 to 36.
    Item& growth = *make_level_object<Item>(300, 512, ITEM_GROWTH);
    growth.anim = 101;
    play_frames(1);
    EXPECT_EQ(growth.anim, 36);
}
