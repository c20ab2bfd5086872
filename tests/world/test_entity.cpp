// The entity base: boxes follow positions, facing follows velocity, mirrored drawing covers the
// same pixels.
#include "core/game_state.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"
#include "world/entity.h"

using EntityTest = DeviceTest;

TEST_F(EntityTest, BoxFollowsPositionWithTheSpriteCurrentThen) {
    Entity e;
    e.sprite.width = 32;
    e.sprite.height = 40;
    e.x = 10;
    e.set_y(20);
    EXPECT_EQ(e.box, (Rect{10, 20, 42, 60}));
    e.sprite.height = 72;  // a new picture alone leaves the box
    EXPECT_EQ(e.box, (Rect{10, 20, 42, 60}));
    e.move_x(-1);
    EXPECT_EQ(e.box, (Rect{9, 20, 41, 92}));
    e.scroll = 300;
    EXPECT_EQ(e.world_x(), 309);
}

TEST_F(EntityTest, FacingFollowsTheSignOfVxAndStaysAtZero) {
    Entity e;
    e.vx = -0.1f;
    EXPECT_TRUE(e.update_facing());
    e.vx = 0.0f;
    EXPECT_TRUE(e.update_facing());
    e.vx = 2.0f;
    EXPECT_FALSE(e.update_facing());
}

TEST_F(EntityTest, MirroredDrawingFlipsOverTheSamePixels) {
    Entity e;
    e.sprite.texture = platform::texture_create(3, 1);
    e.sprite.width = 3;
    e.sprite.height = 1;
    int pitch = 0;
    uint32_t* t = platform::texture_pixels(e.sprite.texture, &pitch);
    t[0] = 0xFF0000FF;
    t[1] = 0xFF00FF00;
    t[2] = 0xFFFF0000;
    e.x = 10;
    e.y = 5;
    platform::device_clear(0);
    e.draw();
    e.draw_mirrored_at(20);
    EXPECT_EQ(pixel(10, 5), 0xFF0000FFu);
    EXPECT_EQ(pixel(12, 5), 0xFFFF0000u);
    EXPECT_EQ(pixel(20, 5), 0xFFFF0000u);
    EXPECT_EQ(pixel(22, 5), 0xFF0000FFu);
    EXPECT_EQ(pixel(23, 5), 0u);
    platform::texture_release(e.sprite.texture);
}
