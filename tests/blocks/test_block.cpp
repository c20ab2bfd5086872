// Blocks bumped from below as a player meets them: the bump's lift and lock, bricks that a small
// hero only bumps and a big one breaks into debris, and hidden blocks found by the head.
#include "blocks/block.h"
#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/input.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"

#include <algorithm>
#include <string>

namespace {

constexpr uint32_t sky = 0xFF00C0FF;

// The hero at x 67 under blocks in rows 14 (y 416) and 15 (y 448): the bottoms of row 15 are 24
// pixels above a small hero's head, those of row 14 as far above a big hero's.
void under_blocks(const std::string& row15, const std::string& row14 = "") {
    std::string ground(40, '=');
    start_level(text_map({row14, row15, "", "", ground, ground}), 67, 504);
    player.start_grace = 21;
    player.sprite = small_stand_sprite;
    play_frames(1);
}

void make_big() {
    player.power = 1;
    player.load_sprite_set();
    player.sprite = big_stand_sprite;
    player.set_y(472);
    play_frames(1);
}

// Jumps (Space pressed for one frame) and plays on until a block is bumped: true if one was.
bool jump_into_block() {
    play_frames(1, {DIK_SPACE});
    for (int frame = 0; frame < 20; ++frame) {
        if (game_state.bump_lock == 1) return true;
        play_frames(1);
    }
    return false;
}

// The topmost non-sky row in screen columns x .. x + 4 between rows top and bottom, or -1.
int top_drawn_row(int x, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int i = x; i < x + 5; ++i)
            if (pixel(i, y) != sky) return y;
    return -1;
}

Block* block(int n = 0) { return nth_object<Block>(KIND_BLOCK, n); }

}  // namespace

using Blocks = GameTest;

TEST_F(Blocks, ABumpLiftsTheBlockForEightFramesAndNoBlockBumpsForTwoMore) {
    under_blocks("..??");  // x 64 and 96, at y 448: both over the hero's head
    ASSERT_TRUE(jump_into_block());
    // Facing right the contact pass goes from the last entry back: the block at 96 is met first,
    // and the first bump ends the pass.
    Block& hit = *block(1);
    EXPECT_TRUE(hit.used);
    EXPECT_FALSE(block(0)->used);
    EXPECT_EQ(game_state.score, 100);
    EXPECT_EQ(game_state.coins, 1);
    EXPECT_EQ(player.vy, 0.8f);  // stopped at the block, then a frame of gravity

    // Drawn 1 to 8 pixels higher in the eight frames from the hit (columns clear of the hero and
    // the coin), then back in place.
    EXPECT_EQ(top_drawn_row(101, 400, 460), 447);
    for (int lift = 2; lift <= 9; ++lift) {
        bool locked = !block(0)->try_bump(67, 480, 0);
        if (lift <= 4) {
            EXPECT_TRUE(locked) << lift;  // the lock: this frame and the next two
        }
        play_frames(1);
        EXPECT_EQ(top_drawn_row(101, 400, 460), lift <= 8 ? 448 - lift : 448) << lift;
    }
    // The lock ran out after its third frame: the other block is bumped now.
    EXPECT_TRUE(block(0)->used);
}

TEST_F(Blocks, TheHeadBumpsWithinOneCellsSpanAndQuestionBlocksShimmerFifteenFourFive) {
    under_blocks("..?");
    // The world x in x - 31 .. x + 30, the top in y + 1 .. y + 32.
    Block brick(64, 448);
    auto bumps = [&](int32_t px, int32_t py) {
        game_state.bump_lock = 0;
        return brick.try_bump(px, py, 0);
    };
    EXPECT_FALSE(bumps(95, 460));
    EXPECT_TRUE(bumps(94, 460));
    EXPECT_TRUE(bumps(33, 460));
    EXPECT_FALSE(bumps(32, 460));
    EXPECT_FALSE(bumps(64, 448));
    EXPECT_TRUE(bumps(64, 449));
    EXPECT_TRUE(bumps(64, 480));
    EXPECT_FALSE(bumps(64, 481));
    game_state.bump_lock = 0;

    std::string frames;
    block()->anim = 0;
    for (int frame = 0; frame < 24; ++frame) {
        play_frames(1);
        frames += picture_name(block()->sprite)[6];
    }
    EXPECT_EQ(frames, "000000000000000111122222");
}

TEST_F(Blocks, ASmallHeroOnlyBumpsABrickWhileABigOneBreaksItIntoDebris) {
    under_blocks("..B", "....B...B");
    ASSERT_TRUE(jump_into_block());
    Block& brick = *block(0);
    EXPECT_FALSE(brick.used);
    EXPECT_EQ(brick.bump, -2);
    EXPECT_EQ(current_map.cell_at(2, 15), TILE_BRICK);
    play_frames(30);
    ASSERT_TRUE(jump_into_block());  // bumped again once the lock has run out
    EXPECT_FALSE(brick.used);

    play_frames(30);
    player.x = 131;  // under the brick at x 128
    make_big();
    int textures = platform::texture_count();
    ASSERT_TRUE(jump_into_block());
    Block& big_brick = *block(1);
    EXPECT_TRUE(big_brick.used);
    EXPECT_EQ(current_map.cell_at(4, 14), TILE_EMPTY);
    EXPECT_EQ(game_state.score, 0);  // a broken brick pays nothing
    EXPECT_EQ(big_brick.debris_timer, 3);

    // Fifty debris frames, the picture changing every five. The eleventh, t = 21: the upper pair
    // at its height, 100 above the brick, 16.6 pixels out to each side.
    int frames = 1;
    std::string pictures = "l";
    while (big_brick.debris_timer != 0) {
        play_frames(1);
        ++frames;
        pictures += picture_name(debris_sprite)[6];
        if (big_brick.debris_timer == 23) {
            const Sprite& piece = debris_sprite;
            int opaque = 0, matching = 0;
            for (int j = 0; j < piece.height; ++j) {
                for (int i = 0; i < piece.width; ++i) {
                    uint32_t t = texel(piece, i, j);
                    if (t >> 24 != 0xFF) continue;
                    ++opaque;
                    matching += pixel(111 + i, 316 + j) == t;
                    matching += pixel(144 + i, 316 + j) == t;
                    matching += pixel(111 + i, 375 + j) == t;
                }
            }
            EXPECT_GT(opaque, 20);
            EXPECT_EQ(matching, 3 * opaque);
        }
    }
    EXPECT_EQ(frames, 50);
    EXPECT_EQ(pictures.substr(0, 21), "lllllrrrrrlllllrrrrrl");
    // The two debris pictures were loaded once each, and breaking another loads nothing more.
    EXPECT_EQ(platform::texture_count(), textures + 2);
    player.x = 259;
    play_frames(30);
    ASSERT_TRUE(jump_into_block());
    EXPECT_TRUE(block(2)->used);
    play_frames(60);
    EXPECT_EQ(platform::texture_count(), textures + 2);
    // The broken brick draws nothing more.
    EXPECT_EQ(top_drawn_row(128, 380, 448), -1);
}

TEST_F(Blocks, AHiddenBlockIsFreeSpaceUntilTheHeadFindsItThenSolidAndSpent) {
    under_blocks("..H");
    EXPECT_EQ(current_map.cell_at(2, 15), TILE_EMPTY);
    EXPECT_EQ(top_drawn_row(64, 440, 482), -1);  // nothing to see
    ASSERT_TRUE(jump_into_block());
    EXPECT_EQ(game_state.coins, 1);
    play_frames(10);
    EXPECT_EQ(current_map.cell_at(2, 15), TILE_HIDDEN);
    EXPECT_EQ(picture_name(block()->sprite), std::string("solidbrick.bmp"));
    EXPECT_EQ(top_drawn_row(64, 440, 482), 448);

    // Now the cell stops the head at its bottom edge.
    play_frames(20);
    int highest = player.y;
    play_frames(1, {DIK_SPACE});
    for (int frame = 0; frame < 20; ++frame) {
        play_frames(1, {DIK_SPACE});
        highest = std::min(highest, player.y);
    }
    EXPECT_EQ(highest, 479);  // its bottom row
    EXPECT_EQ(game_state.coins, 1);
}
