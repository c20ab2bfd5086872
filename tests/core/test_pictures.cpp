// Start-up: the pictures it loads, with their sizes and colour keys, and what shutdown releases.
#include "core/pictures.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "shell/program_state.h"
#include "shell/startup.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"
#include "world/object_list.h"

#include <filesystem>

using StartupTest = GameTest;

TEST_F(StartupTest, LoadsEveryPictureAtTheSizesTheRulesAssume) {
    for (const Sprite* tile : {&sky_sprite, &ground_sprite, &block_sprite, &brick_sprite,
                               &spent_block_sprite, &question_sprites[0], &question_sprites[1],
                               &question_sprites[2], &pipe_sprites[0], &pipe_sprites[1],
                               &pipe_sprites[2], &pipe_sprites[3]}) {
        EXPECT_NE(tile->texture, nullptr);
        EXPECT_EQ(tile->width, 32);
        EXPECT_EQ(tile->height, 32);
    }
    EXPECT_EQ(title_sprite.width, 800);
    EXPECT_EQ(title_sprite.height, 600);
    EXPECT_EQ(walker_sprite.height, 32);
    const Sprite* small[] = {&small_stand_sprite, &small_run_sprites[0], &small_run_sprites[1],
                             &small_run_sprites[2], &small_jump_sprite, &small_wall_sprite};
    const Sprite* big[] = {&big_stand_sprite, &big_run_sprites[0], &big_run_sprites[1],
                           &big_run_sprites[2], &big_jump_sprite, &big_wall_sprite};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NE(small[i]->texture, nullptr) << i;
        EXPECT_EQ(big[i]->height, small[i]->height + 32) << i;
    }
    for (const Sprite* s : {&shell_sprite, &shell_walker_sprites[0], &shell_walker_sprites[1],
                            &coin_sprites[0], &coin_sprites[3], &growth_sprite, &dying_sprite,
                            &big_duck_sprite})
        EXPECT_NE(s->texture, nullptr);
    // No file of that name exists: the debris picture starts empty; so does the small crouch.
    EXPECT_EQ(debris_sprite.texture, nullptr);
    EXPECT_EQ(debris_sprite.width, 0);
    EXPECT_EQ(small_duck_sprite.texture, nullptr);
    EXPECT_NE(game_font.sprite.texture, nullptr);
    EXPECT_EQ(game_font.glyph_start[' '], 1);
}

TEST_F(StartupTest, KeysTransparentPixelsByTheirPictureKind) {
    // White-keyed hero and black-keyed coin both have transparent corners; the sky has none.
    int pitch = 0;
    auto transparent = [&](const Sprite& s) {
        const uint32_t* p = platform::texture_pixels(s.texture, &pitch);
        int n = 0;
        for (int i = 0; i < s.width * s.height; ++i) n += p[i] == 0;
        return n;
    };
    EXPECT_GT(transparent(small_stand_sprite), 0);
    EXPECT_GT(transparent(coin_sprites[0]), 0);
    EXPECT_GT(transparent(shell_sprite), 0);
    EXPECT_EQ(transparent(sky_sprite), 0);
    EXPECT_EQ(transparent(title_sprite), 0);
}

TEST_F(StartupTest, HeroIsEntryZeroAndStartsSmallAtItsPlace) {
    ASSERT_GE(objects.count, 1);
    EXPECT_EQ(objects.entries[0].object, &player);
    EXPECT_EQ(objects.entries[0].kind, KIND_PLAYER);
    Player fresh;
    EXPECT_EQ(fresh.x, 67);
    EXPECT_EQ(fresh.y, 503);
    EXPECT_EQ(fresh.power, 0);
}

// The name start-up asks for that never existed is passed over in silence: a normal start prints
// nothing. A picture really missing is named, and named again by a start after a reset.
TEST_F(StartupTest, ANormalStartSaysNothingAndAMissingPictureIsNamedOnEveryStart) {
    shutdown();
    ASSERT_TRUE(init_program_state());
    EXPECT_EQ(screen_width, 0);
    EXPECT_EQ(screen_height, 0);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(startup());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::filesystem::path data = scratch_files::scratch("data");
    std::filesystem::copy(std::filesystem::current_path(), data,
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove(data / "Graphics" / "coin1.bmp");
    for (int start = 0; start < 2; ++start) {
        shutdown();
        ASSERT_TRUE(init_program_state());
        platform::set_data_folder(data.string());
        testing::internal::CaptureStderr();
        const bool started = startup();
        const std::string said = testing::internal::GetCapturedStderr();
        platform::set_data_folder("");
        ASSERT_TRUE(started);
        EXPECT_EQ(said, "brickrun: warning: picture not loaded, it will draw nothing: cannot open " +
                            data.string() + "/Graphics/coin1.bmp\n")
            << "start " << start;
    }
}
