// The hero's life: growth, the shrink and blink after a hit, death and the restart it leads to,
// sinking into a pipe, and the hero's picture on screen.
#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "enemies/enemy.h"
#include "play/level.h"
#include "player/player.h"
#include "render/input.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"
#include "world/level_store.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr uint32_t sky = 0xFF00C0FF;

void stand_on_flat_ground() {
    start_level(text_map({std::string(60, '='), std::string(60, '=')}), 67, 504);
    player.start_grace = 21;
    play_frames(1);
}

bool big_picture() { return picture_name(player.sprite)[0] == 's'; }

// Whether anything but sky is drawn in the hero's column between heights top and bottom.
bool hero_drawn(int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = player.x; x < player.x + 32; ++x)
            if (pixel(x, y) != sky) return true;
    return false;
}

using Placed = std::vector<std::tuple<int16_t, int32_t, int32_t>>;
Placed placed_objects() {
    Placed out;
    for (int32_t i = 0; i < objects.count; ++i) {
        const ObjectEntry& e = objects.entries[i];
        if (e.is_entity()) out.emplace_back(e.kind, e.entity()->x, e.entity()->y);
        else out.emplace_back(e.kind, 0, 0);
    }
    return out;
}

}  // namespace

using HeroLife = GameTest;

TEST_F(HeroLife, GrowthFreezesTheWorldFor49FramesAndLeavesTheHeroBigAnd32Higher) {
    stand_on_flat_ground();
    // What taking a growth item does.
    player.power = 1;
    player.grow_timer = 1;
    world_frozen = true;
    player.vx = 3.0f;
    int32_t x = player.x, y = player.y;
    for (int frame = 1; frame <= 49; ++frame) {
        play_frames(1);
        // Five frames of the small pictures, five of the big ones.
        EXPECT_EQ(big_picture(), frame % 10 >= 5) << frame;
        EXPECT_EQ(world_frozen, frame < 49) << frame;
        EXPECT_EQ(player.x, x) << frame;
    }
    EXPECT_EQ(player.grow_timer, 0);
    EXPECT_EQ(player.power, 1);
    EXPECT_EQ(player.y, y - 32);
    play_frames(1);
    // Off at speed 3, big.
    EXPECT_EQ(std::string(picture_name(player.sprite)).rfind("spelkorun", 0), 0u);
    EXPECT_GT(player.x, x);
}

TEST_F(HeroLife, AHitShrinksABigHeroFeetInPlaceThenItBlinksInvulnerable) {
    stand_on_flat_ground();
    player.power = 1;
    player.load_sprite_set();
    player.sprite = big_stand_sprite;
    player.set_y(472);
    play_frames(1);
    // What an enemy's harm does in the contact pass.
    player.vx = 2.0f;
    player.saved_vx = player.vx;
    player.saved_vy = player.vy;
    player.take_hit();
    EXPECT_EQ(player.power, 0);
    EXPECT_EQ(player.y, 504);  // 72 - 40 lower, the feet where they were
    EXPECT_TRUE(world_frozen);

    // 31 frozen frames of flicker: invisible, small, big (drawn 32 higher), in a 10-frame rhythm.
    for (int frame = 1; frame <= 31; ++frame) {
        play_frames(1);
        int m = (frame - 1) % 10;
        EXPECT_EQ(hero_drawn(504, 544), m >= 3) << frame;
        EXPECT_EQ(hero_drawn(472, 504), m >= 7) << frame;
        EXPECT_TRUE(world_frozen);
    }
    EXPECT_EQ(player.y, 504);
    play_frames(1);
    EXPECT_FALSE(world_frozen);
    EXPECT_EQ(player.vx, 2.0f);  // the motion of the moment of the hit
    EXPECT_EQ(player.anim, 0);

    // Blinking for 101 frames, shown on six of every ten, and no hit counts meanwhile.
    int shown = 0;
    for (int frame = 1; frame <= 101; ++frame) {
        play_frames(1);
        shown += hero_drawn(504, 544);
        player.take_hit();
    }
    EXPECT_EQ(shown, 60);
    EXPECT_TRUE(player.hurt);
    EXPECT_EQ(player.death_timer, 0);
    play_frames(1);
    EXPECT_FALSE(player.hurt);
}

TEST_F(HeroLife, ASmallHerosDeathHopsAtFrame50FallsThroughTheFloorAndRestartsTheLevel) {
    // The first level as start-up populated it.
    game_state.in_game = true;
    Placed at_start = placed_objects();
    std::vector<int32_t> cells(current_map.map_cells.get(),
                               current_map.map_cells.get() + current_map.map_width * 20);
    play_frames(10);
    player.take_hit();
    EXPECT_EQ(player.death_timer, 1);
    play_frames(48, {DIK_RIGHT, DIK_SPACE});  // keys do nothing now
    EXPECT_EQ(player.vy, 0.0f);
    EXPECT_EQ(player.vx, 0.0f);
    EXPECT_EQ(player.y, 504);
    EXPECT_STREQ(picture_name(player.sprite), "pelkodie.bmp");
    play_frames(1);
    EXPECT_EQ(player.death_timer, 50);
    EXPECT_EQ(player.vy, -10.0f);

    int highest = player.y, frames = 0;
    while (!game_state.restart_level && frames < 200) {
        play_frames(1);
        highest = std::min(highest, player.y);
        ++frames;
    }
    EXPECT_LT(highest, 504 - 40);
    EXPECT_GT(player.y, 1030);  // through the floor
    EXPECT_EQ(game_state.lives, 2);

    // The next frame restarts the level behind the banner: a fresh hero, the same objects.
    play_frames(1);
    EXPECT_FALSE(game_state.restart_level);
    EXPECT_EQ(player.death_timer, 0);
    EXPECT_EQ(player.x, 67);
    EXPECT_EQ(placed_objects(), at_start);
    EXPECT_EQ(std::vector<int32_t>(current_map.map_cells.get(),
                                   current_map.map_cells.get() + current_map.map_width * 20),
              cells);
}

TEST_F(HeroLife, DownOnAPipeEntranceSinksTheHeroBehindThePipeAndLeadsToTheNextLevel) {
    TileMap map = text_map({
        ".....v......",
        ".....{}.....",
        ".....[].....",
        ".....[].....",
        "============",
        "============",
    });
    start_level(map, 160, 408);  // standing on the pipe's top
    player.start_grace = 21;
    play_frames(10);
    EXPECT_EQ(player.pipe_timer, 0);  // touching it is not enough
    play_frames(1, {DIK_DOWN});
    EXPECT_TRUE(world_frozen);
    EXPECT_EQ(player.pipe_timer, 2);
    for (int frame = 2; frame <= 99; ++frame) {
        play_frames(1);
        if (frame == 10) {
            EXPECT_TRUE(hero_drawn(408, 448));  // still above the pipe
        }
        if (frame == 60) {
            // Sunk 40 pixels: the opaque pipe body is painted over the hero.
            bool covered = true;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    covered = covered && pixel(160 + x, 480 + y) == texel(pipe_sprites[0], x, y);
            EXPECT_TRUE(covered);
        }
    }
    EXPECT_EQ(player.y, 408);  // the sinking is drawn only
    EXPECT_FALSE(game_state.next_level);
    play_frames(1);
    EXPECT_TRUE(game_state.next_level);
    EXPECT_FALSE(world_frozen);

    play_frames(1);
    EXPECT_EQ(game_state.level_index, 1);
    EXPECT_STREQ(current_map.path, "Maps//level2.map");
    EXPECT_EQ(player.x, 67);
    EXPECT_FALSE(game_state.next_level);
}

TEST_F(HeroLife, TheHeroIsDrawnMirroredWhenFacingLeft) {
    stand_on_flat_ground();
    for (bool left : {false, true}) {
        player.vx = left ? -0.5f : 0.5f;
        play_frames(1);  // stops at once, keeps facing that way
        const Sprite& s = small_stand_sprite;
        int matching = 0, opaque = 0;
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                uint32_t t = texel(s, x, y);
                if (t >> 24 != 0xFF) continue;
                ++opaque;
                matching += pixel(player.x + (left ? s.width - 1 - x : x), player.y + y) == t;
            }
        }
        EXPECT_GT(opaque, 100);
        EXPECT_EQ(matching, opaque) << (left ? "facing left" : "facing right");
    }
}

TEST_F(HeroLife, AHitInTheContactPassLeavesTheRestOfThePassTheSameWorldBox) {
    // A big hero with the camera at 300: facing right, the pass meets the walker (the last entry)
    // first and is hurt, which shrinks it; the growth item behind it is still met with the box the
    // pass began with, so it is taken, and the now small hero grows.
    start_level(text_map({std::string(60, '='), std::string(60, '=')}), 100, 472);
    player.start_grace = 21;
    player.scroll = 300;
    player.power = 1;
    player.load_sprite_set();
    player.sprite = big_stand_sprite;
    player.set_y(472);
    Item& growth = *make_level_object<Item>(400, 480, ITEM_GROWTH);
    growth.anim = 50;
    objects.append(make_level_object<Enemy>(410, 512, ENEMY_WALKER), KIND_ENEMY);
    play_frames(1);
    EXPECT_EQ(game_state.score, 200);
    EXPECT_EQ(growth.anim, 301);
    EXPECT_EQ(player.grow_timer, 2);
    EXPECT_EQ(player.death_timer, 0);
}
