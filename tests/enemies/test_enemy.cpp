// Enemies against the hero and against each other: the kill chain, stomps and hurts, shells kicked,
// stopped and killing, and how a dead enemy looks until it is gone.
#include "core/game_state.h"
#include "core/pictures.h"
#include "enemies/enemy.h"
#include "player/player.h"
#include "render/input.h"
#include "tests/support/play.h"
#include "tests/support/test_support.h"

#include <string>

namespace {

constexpr uint32_t sky = 0xFF00C0FF;
constexpr uint32_t white = 0xFFFFFFFF;

// Flat ground two rows deep, with what stands on it written in the row above.
TileMap on_ground(const std::string& above) {
    return text_map({above, std::string(above.size(), '='), std::string(above.size(), '=')});
}

void play_on(const std::string& above, int32_t hero_x = 67, int32_t hero_y = 504) {
    start_level(on_ground(above), hero_x, hero_y);
    player.start_grace = 21;  // the hero answers the ground truthfully from the start
    player.sprite = small_stand_sprite;  // not the fresh hero's big picture of its first frame
    player.set_y(hero_y);
}

std::string row_with(std::initializer_list<std::pair<int, char>> cells, int width = 60) {
    std::string row(width, '.');
    for (auto [col, ch] : cells) row[col] = ch;
    return row;
}

Enemy* enemy(int n = 0) { return nth_object<Enemy>(KIND_ENEMY, n); }

// Whether an enemy's picture shows in the 32 columns from screen x between rows top and bottom:
// anything but sky and the white of the points.
bool drawn(int32_t x, int32_t top, int32_t bottom) {
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t i = x; i < x + 32; ++i)
            if (pixel(i, y) != sky && pixel(i, y) != white) return true;
    return false;
}

}  // namespace

using Enemies = GameTest;

TEST_F(Enemies, KillsPayThroughTheChainAndTheSixthOnGivesALife) {
    play_on(std::string(40, '.'));
    play_frames(1);
    Enemy e(0, 0, ENEMY_WALKER);
    auto kill_once = [&] {
        int32_t score = game_state.score;
        e.kill();
        return game_state.score - score;
    };
    int32_t lives = game_state.lives;
    for (int32_t k = 1; k <= 5; ++k) EXPECT_EQ(kill_once(), 200 * k) << k;
    EXPECT_EQ(game_state.lives, lives);
    EXPECT_EQ(kill_once(), 1200);
    EXPECT_EQ(e.points, 1200);  // what it shows rising
    EXPECT_EQ(game_state.lives, lives + 1);
    EXPECT_TRUE(e.dead);
    EXPECT_EQ(e.vx, 0.0f);

    play_frames(60);  // 60 quiet frames: the chain still holds
    EXPECT_EQ(kill_once(), 1400);
    EXPECT_EQ(game_state.lives, lives + 2);
    play_frames(61);
    EXPECT_EQ(kill_once(), 200);
}

TEST_F(Enemies, LandingOnAWalkerStompsItAndTheHeroBouncesHigherWithSpaceHeld) {
    for (bool space : {false, true}) {
        play_on(row_with({{10, 'w'}}), 320, 470);
        player.vy = 3.0f;
        for (int frame = 0; frame < 5 && !enemy()->dead; ++frame) {
            if (space) play_frames(1, {DIK_SPACE});
            else play_frames(1);
        }
        EXPECT_TRUE(enemy()->dead) << space;
        EXPECT_FALSE(enemy()->knocked);
        EXPECT_EQ(game_state.score, 200);
        // The bounce, then the frame's gravity of 0.8.
        EXPECT_FLOAT_EQ(player.vy, space ? -9.2f : -3.2f) << space;
        EXPECT_EQ(player.death_timer, 0);
        game_state.score = 0;
        game_state.combo = 0;
    }
}

TEST_F(Enemies, FromTheSideTheHeadProbeStompsAndTwoPixelsInTheInnerProbeHurts) {
    play_on(row_with({{10, 'w'}, {20, 'w'}}));
    Enemy& w = *enemy();  // box {320, 512, 352, 544}
    // The hero's box reaching one pixel into the walker: a stomp.
    EXPECT_EQ(w.collide(289, 504, 321, 544, BY_HERO), CONTACT_BOUNCE);
    EXPECT_TRUE(w.dead);
    Enemy& v = *enemy(1);  // box {640, 512, 672, 544}
    EXPECT_EQ(v.collide(671, 504, 703, 544, BY_HERO), CONTACT_BOUNCE);  // from the right
    Enemy fresh(640, 512, ENEMY_WALKER);
    EXPECT_EQ(fresh.collide(610, 504, 642, 544, BY_HERO), CONTACT_HARM);
    EXPECT_EQ(fresh.collide(670, 504, 702, 544, BY_HERO), CONTACT_HARM);
    EXPECT_EQ(fresh.collide(577, 504, 639, 544, BY_HERO), CONTACT_NONE);

    // In play: a walker that starts two pixels inside a small hero hurts it, and it dies.
    play_on(row_with({{10, 'w'}}), 290, 504);
    play_frames(1);
    EXPECT_GT(player.death_timer, 0);
    EXPECT_FALSE(enemy()->dead);
}

TEST_F(Enemies, WalkingIntoARestingShellKicksItAndABlinkingHeroPassesThroughWalkers) {
    play_on(row_with({{12, 's'}}), 200, 504);
    Enemy& s = *enemy();
    s.enemy_type = ENEMY_SHELL;
    s.vx = 0.0f;
    play_frames(10);  // it drops onto the floor as a shell, its anim at 100
    ASSERT_EQ(s.y, 512);
    for (int frame = 0; frame < 60 && s.vx == 0; ++frame) play_frames(1, {DIK_RIGHT});
    EXPECT_EQ(s.vx, 10.5f);
    EXPECT_EQ(player.death_timer, 0);
    EXPECT_FALSE(player.hurt);
    EXPECT_EQ(game_state.score, 0);  // a kick pays nothing

    // Blinking after a hit, the hero on the ground meets no walker: neither hurt nor stomp.
    play_on(row_with({{10, 'w'}}), 200, 504);
    player.hurt = true;
    for (int frame = 0; frame < 60; ++frame) play_frames(1);
    EXPECT_LT(enemy()->x, 150);
    EXPECT_FALSE(enemy()->dead);
    EXPECT_EQ(player.death_timer, 0);
}

TEST_F(Enemies, AShellIsKickedAwayFromTheKickerStoppedByAStompAndHarmlessAtFirst) {
    play_on(row_with({{10, 's'}}), 200, 504);
    Enemy& s = *enemy();
    EXPECT_EQ(s.y, 486);  // a shell walker stands 26 higher than its cell
    // Stomped from above it becomes a shell at rest, 10 lower, kickable at once.
    s.anim = 100;
    EXPECT_EQ(s.collide(320, 450, 352, 490, BY_HERO), CONTACT_BOUNCE);
    EXPECT_EQ(s.enemy_type, ENEMY_SHELL);
    EXPECT_EQ(s.y, 496);
    EXPECT_EQ(s.vx, 0.0f);
    EXPECT_FALSE(s.dead);
    s.sprite = shell_sprite;
    s.recompute_box();  // {320, 496, 352, 528}

    // Kicked from the left it goes right at 10.5; only a kick from above bounces the hero.
    EXPECT_EQ(s.collide(290, 488, 322, 528, BY_HERO), CONTACT_NONE);
    EXPECT_EQ(s.vx, 10.5f);
    EXPECT_EQ(s.anim, 0);
    // For three frames it can be neither stopped nor kicked, and for 35 it cannot hurt.
    s.anim = 3;
    EXPECT_EQ(s.collide(290, 470, 322, 500, BY_HERO), CONTACT_NONE);
    EXPECT_EQ(s.vx, 10.5f);
    s.anim = 35;
    EXPECT_EQ(s.collide(300, 488, 332, 528, BY_HERO), CONTACT_NONE);
    s.anim = 36;
    EXPECT_EQ(s.collide(300, 488, 332, 528, BY_HERO), CONTACT_HARM);
    // A stomp stops it; a kick from the right sends it left, bouncing a hero that came from above.
    s.anim = 4;
    EXPECT_EQ(s.collide(320, 460, 352, 500, BY_HERO), CONTACT_BOUNCE);
    EXPECT_EQ(s.vx, 0.0f);
    s.anim = 4;
    EXPECT_EQ(s.collide(330, 460, 362, 500, BY_HERO), CONTACT_BOUNCE);
    EXPECT_EQ(s.vx, -10.5f);
    // A toucher exactly on its head probe is ignored.
    s.anim = 100;
    s.vx = 0.0f;
    EXPECT_EQ(s.collide(320, 498, 352, 503, BY_HERO), CONTACT_NONE);
    EXPECT_EQ(s.vx, 0.0f);
}

TEST_F(Enemies, AMovingShellKnocksWalkersAndKeepsGoingAndTwoMovingShellsKillEachOther) {
    play_on(row_with({{8, 's'}, {13, 'w'}, {16, 'w'}}));
    Enemy& s = *enemy();
    s.enemy_type = ENEMY_SHELL;
    s.vx = 10.5f;
    s.anim = 100;
    play_frames(40);
    for (int n : {1, 2}) {
        EXPECT_TRUE(enemy(n)->dead) << n;
        EXPECT_TRUE(enemy(n)->knocked) << n;
    }
    EXPECT_EQ(game_state.score, 200 + 400);  // one chain
    EXPECT_FALSE(s.dead);
    EXPECT_EQ(s.vx, 10.5f);

    play_on(row_with({{8, 's'}, {14, 's'}}));
    for (float vx : {10.5f, -10.5f}) {
        Enemy& shell = *enemy(vx > 0 ? 0 : 1);
        shell.enemy_type = ENEMY_SHELL;
        shell.vx = vx;
        shell.anim = 100;
    }
    for (int frame = 0; frame < 20 && !enemy(0)->dead; ++frame) play_frames(1);
    EXPECT_TRUE(enemy(0)->dead && enemy(0)->knocked);
    EXPECT_TRUE(enemy(1)->dead && enemy(1)->knocked);
    // The one whose pass met the other was harmed and drifts left; the other was hit and stopped.
    EXPECT_EQ(enemy(0)->vx + enemy(1)->vx, -6.0f);
}

TEST_F(Enemies, AnEnemysPassMeetsTheOthersFromTheLastEntryAndStopsAtTheFirstTurn) {
    // Three walkers in a row, the middle one overlapping both neighbours.
    play_on(row_with({{10, 'w'}, {11, 'w'}, {12, 'w'}}));
    enemy(0)->move_x(20);
    enemy(2)->move_x(-20);
    enemy(1)->touch_enemies();
    EXPECT_EQ(enemy(2)->vx, 3.0f);  // met first, and turned
    EXPECT_EQ(enemy(1)->vx, 3.0f);
    EXPECT_EQ(enemy(0)->vx, -3.0f);  // never met
}

TEST_F(Enemies, AStompedWalkerSquashesLiesFlatShowsItsPointsAndGoesAtNinety) {
    play_on(row_with({{10, 'w'}}), 320, 470);
    player.vy = 3.0f;
    Enemy& w = *enemy();
    for (int frame = 0; frame < 5 && !w.dead; ++frame) play_frames(1);
    ASSERT_TRUE(w.dead);
    EXPECT_EQ(w.anim, 3);  // the first squash frame was drawn with anim 0
    play_frames(4);
    EXPECT_EQ(w.anim, 15);
    player.x = 600;  // out of the way of the picture
    play_frames(1);
    // Flat: only its lowest 7 rows, squeezed, and the points above it.
    EXPECT_FALSE(drawn(320, 512, 537));
    EXPECT_TRUE(drawn(320, 537, 544));
    int white_pixels = 0;
    for (int y = 512 + 25 - 16; y < 512 + 25 - 16 + 12; ++y)
        for (int x = 330; x < 370; ++x) white_pixels += pixel(x, y) == white;
    EXPECT_GT(white_pixels, 10);
    play_frames(74);
    EXPECT_EQ(w.anim, 90);
    EXPECT_EQ(objects.entries[1].kind, KIND_ENEMY);
    play_frames(1);
    EXPECT_EQ(objects.entries[1].kind, KIND_REMOVED);
}

TEST_F(Enemies, AKnockedEnemyIsDrawnUpsideDownOverItsOwnBox) {
    play_on(row_with({{10, 'w'}}), 67, 504);
    Enemy& w = *enemy();
    w.kill();
    w.knocked = true;
    w.vx = 0.0f;
    play_frames(1);  // drawn with anim 0: no sideways drift yet
    const Sprite& s = walker_sprite;
    int matching = 0, opaque = 0;
    for (int j = 0; j < s.height; ++j) {
        for (int i = 0; i < s.width; ++i) {
            uint32_t t = texel(s, i, s.height - 1 - j);
            if (t >> 24 != 0xFF) continue;
            ++opaque;
            matching += pixel(320 + i, w.y + j) == t;
        }
    }
    EXPECT_GT(opaque, 100);
    EXPECT_EQ(matching, opaque);
}

TEST_F(Enemies, WalkersFlipEveryEightFramesShellWalkersFaceTheirWayAndAnimStopsAt100) {
    play_on(row_with({{10, 'w'}, {16, 's'}}), 700);
    // Whether the picture is drawn at screen x, row y, mirrored or not.
    auto shows = [](const Sprite& s, int32_t x, int32_t y, bool mirrored) {
        int opaque = 0, matching = 0;
        for (int j = 0; j < s.height; ++j) {
            for (int i = 0; i < s.width; ++i) {
                uint32_t t = texel(s, i, j);
                if (t >> 24 != 0xFF) continue;
                ++opaque;
                matching += pixel(x + (mirrored ? s.width - 1 - i : i), y + j) == t;
            }
        }
        return opaque > 0 && matching == opaque;
    };
    Enemy& w = *enemy(0);
    Enemy& s = *enemy(1);
    for (int frame = 0; frame < 24; ++frame) {
        int32_t m = w.walk_anim % 16;
        play_frames(1);
        EXPECT_TRUE(shows(walker_sprite, w.x, w.y, m < 8)) << frame;
        EXPECT_TRUE(shows(shell_walker_sprites[m < 8 ? 0 : 1], s.x, s.y, false)) << frame;
    }
    s.vx = 3.0f;
    int32_t m = s.walk_anim % 16;
    play_frames(1);
    EXPECT_TRUE(shows(shell_walker_sprites[m < 8 ? 0 : 1], s.x, s.y, true));
    s.vx = -3.0f;  // away from the hero
    // The cycle holds 161 values: 160 draws mirrored, and so does the 0 after it.
    w.walk_anim = 159;
    play_frames(1);
    EXPECT_EQ(w.walk_anim, 160);
    play_frames(1);
    EXPECT_EQ(w.walk_anim, 0);
    EXPECT_TRUE(shows(walker_sprite, w.x, w.y, true));
    play_frames(100);
    EXPECT_EQ(w.anim, 100);
}
