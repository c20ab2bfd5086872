// The software device: which pixels a quad covers, how texels map onto them, and the arithmetic of
// the combiner and the blend.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/test_support.h"

#include <random>
#include <vector>

using namespace platform;

namespace {

Vertex corner(float x, float y, uint32_t colour, float u, float v) { return {x, y, 0, 1, colour, u, v}; }

void quad(float x, float y, float w, float h, uint32_t colour = 0xFFFFFFFF) {
    Vertex strip[4] = {corner(x, y, colour, 0, 0), corner(x + w, y, colour, 1, 0),
                       corner(x, y + h, colour, 0, 1), corner(x + w, y + h, colour, 1, 1)};
    device_set_fvf(fvf_quad);
    device_draw_quad_strip(strip);
}

// A 4x2 texture whose texels are all different.
Texture* numbered_texture() {
    Texture* t = texture_create(4, 2);
    int pitch = 0;
    uint32_t* p = texture_pixels(t, &pitch);
    for (int i = 0; i < 8; ++i) p[i] = 0xFF000000u | (0x100000u * (i + 1)) | static_cast<uint32_t>(i);
    return t;
}

}  // namespace

using DeviceDraw = DeviceTest;

TEST_F(DeviceDraw, QuadCoversHalfOpenPixelRangeInEitherOrder) {
    device_clear(0);
    device_set_texture(nullptr);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    quad(10, 20, 3, 2, 0xFF112233);
    quad(53, 22, -3, -2, 0xFF445566);  // same size, given from the other corner
    for (int y = 18; y < 25; ++y) {
        for (int x = 8; x < 15; ++x) {
            bool inside = x >= 10 && x < 13 && y >= 20 && y < 22;
            EXPECT_EQ(pixel(x, y), inside ? 0xFF112233u : 0u) << x << "," << y;
            EXPECT_EQ(pixel(x + 40, y), inside ? 0xFF445566u : 0u) << x + 40 << "," << y;
        }
    }
}

TEST_F(DeviceDraw, MirroredQuadIsExactMirrorOverSamePixels) {
    Texture* t = numbered_texture();
    device_set_texture(t);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    device_clear(0);
    quad(100, 100, 4, 2);
    quad(204, 100, -4, 2);  // mirrored: x + width with negative width
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(100 + x, 100 + y), pixel(200 + 3 - x, 100 + y));
            EXPECT_NE(pixel(100 + x, 100 + y), 0u);
        }
    }
    EXPECT_EQ(pixel(199, 100), 0u);
    EXPECT_EQ(pixel(204, 100), 0u);
    texture_release(t);
}

TEST_F(DeviceDraw, StretchedQuadSamplesTexelUnderEachPixelCentre) {
    Texture* t = numbered_texture();
    device_set_texture(t);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    quad(0, 0, 8, 2);  // twice as wide: each texel covers two pixels
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(x, 0) & 0xFF, static_cast<uint32_t>(x / 2));
    quad(0, 10, 5, 3);  // 4 texels over 5 pixels, 2 rows over 3
    const uint32_t expected_columns[5] = {0, 1, 2, 2, 3};
    const uint32_t expected_rows[3] = {0, 4, 4};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixel(x, 10 + y) & 0xFF, expected_columns[x] + expected_rows[y]);
    texture_release(t);
}

TEST_F(DeviceDraw, CombinerModulatesTextureByColourAndUntexturedDrawsColour) {
    Texture* t = texture_create(1, 1);
    int pitch = 0;
    texture_pixels(t, &pitch)[0] = 0xFF80FF40;
    device_set_texture(t);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    quad(0, 0, 1, 1, 0x80FF8000);
    EXPECT_EQ(pixel(0, 0), 0x80808000u);  // alpha 255*128, red 128*255, green 255*128, blue 64*0
    device_set_texture(nullptr);
    quad(1, 0, 1, 1, 0x12345678);
    EXPECT_EQ(pixel(1, 0), 0x12345678u);
    texture_release(t);
}

TEST_F(DeviceDraw, BlendingMixesBySourceAlphaAndOffWritesSource) {
    device_set_texture(nullptr);
    device_clear(0xFF0000FF);
    device_set_render_state(RenderState::alpha_blend_enable, 1);
    device_set_render_state(RenderState::src_blend, blend_src_alpha);
    device_set_render_state(RenderState::dest_blend, blend_inv_src_alpha);
    quad(0, 0, 1, 1, 0x80FF0000);
    uint32_t p = pixel(0, 0);
    EXPECT_EQ((p >> 16) & 0xFF, 128u);  // 255 * 128/255
    EXPECT_EQ(p & 0xFF, 127u);          // 255 * 127/255
    quad(1, 0, 1, 1, 0x00FF0000);       // fully clear: nothing changes
    EXPECT_EQ(pixel(1, 0), 0xFF0000FFu);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    quad(2, 0, 1, 1, 0x00FF0000);       // blending off: alpha is ignored, source written
    EXPECT_EQ(pixel(2, 0), 0x00FF0000u);
}

TEST_F(DeviceDraw, CullingDropsMirroredQuadsUnlessTurnedOff) {
    device_set_texture(nullptr);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    device_clear(0);
    device_set_render_state(RenderState::cull_mode, cull_ccw);
    quad(10, 0, -5, 5, 0xFFFFFFFF);
    quad(20, 0, 5, 5, 0xFFFFFFFF);
    EXPECT_EQ(pixel(7, 2), 0u);
    EXPECT_EQ(pixel(22, 2), 0xFFFFFFFFu);
    device_set_render_state(RenderState::cull_mode, cull_none);
    quad(10, 0, -5, 5, 0xFFFFFFFF);
    EXPECT_EQ(pixel(7, 2), 0xFFFFFFFFu);
}

TEST_F(DeviceDraw, QuadsPartlyOffScreenAreClipped) {
    device_set_texture(nullptr);
    device_set_render_state(RenderState::alpha_blend_enable, 0);
    device_clear(0);
    quad(-10, -10, 20, 20, 0xFF00FF00);
    quad(790, 590, 100, 100, 0xFF00FF00);
    quad(5000, 5000, 10, 10, 0xFF00FF00);
    EXPECT_EQ(pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(pixel(9, 9), 0xFF00FF00u);
    EXPECT_EQ(pixel(10, 10), 0u);
    EXPECT_EQ(pixel(799, 599), 0xFF00FF00u);
}

// The device's shortcuts (a fill, a row copy, a sprite blend, each forwards or mirrored) must draw
// bit for bit what the general path draws: the game's own quads at and across every edge of a small
// screen, then random ones (stretched, mirrored, clipped, tinted, keyed, other blends and stages).
TEST_F(DeviceDraw, FastPathsDrawExactlyWhatTheGeneralPathDraws) {
    constexpr int width = 64, height = 48;
    device_release();
    ASSERT_TRUE(device_create(width, height, true));
    std::mt19937 random(20261208);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    // A tile-sized picture with clear (keyed), half-clear and opaque texels, a font-like strip and
    // a picture smaller than a tile.
    auto noise = [&](int w, int h) {
        Texture* t = texture_create(w, h);
        int pitch = 0;
        uint32_t* p = texture_pixels(t, &pitch);
        for (int i = 0; i < w * h; ++i) {
            uint32_t alpha[] = {0x00, 0xFF, 0xFF, below(256)};
            p[i] = alpha[below(4)] << 24 | (random() & 0xFFFFFF);
        }
        return t;
    };
    Texture* textures[] = {noise(32, 32), noise(70, 12), noise(3, 5), nullptr};
    const int sizes[][2] = {{32, 32}, {70, 12}, {3, 5}, {width, height}};

    struct Shape {
        int texture;
        float x, y, w, h, u0, u1;
        uint32_t colour;
        bool blend;
        uint32_t src, dest, address, color_op, alpha_op;
    };
    std::vector<Shape> shapes;
    const uint32_t sky = 0xFF6B8CFF, white = 0xFFFFFFFF;
    for (float x : {-40.0f, -31.0f, -1.0f, 0.0f, 17.0f, 33.0f, 63.0f}) {
        for (float y : {-20.0f, 0.0f, 30.0f, 47.0f}) {
            auto game = [&](int texture, float w, float u0, float u1, bool blend, uint32_t colour) {
                shapes.push_back({texture, x, y, w, static_cast<float>(sizes[texture][1]), u0, u1,
                                  colour, blend, blend_src_alpha, blend_inv_src_alpha,
                                  address_clamp, op_modulate, op_modulate});
            };
            game(0, 32, 0, 1, false, white);   // a tile
            game(0, 32, 0, 1, true, white);    // a sprite
            game(0, -32, 0, 1, true, white);   // a mirrored sprite
            game(1, 7, 14 / 70.0f, 21 / 70.0f, true, white);  // a letter of the font
            game(1, 7, 14 / 70.0f, 21 / 70.0f, true, 0x80FF8000);  // a tinted letter
            game(3, 20, 0, 1, true, sky);      // the sky fill and the banner's black
            game(3, 20, 0, 1, true, 0x80000000);
        }
    }
    const uint32_t blends[] = {blend_zero, blend_one, blend_src_alpha, blend_inv_src_alpha};
    const uint32_t ops[] = {op_select_arg1, op_select_arg2, op_modulate, op_modulate};
    auto coordinate = [&](int span) {
        return static_cast<float>(static_cast<int>(below(span + 80)) - 40) + (below(4) ? 0 : 0.5f);
    };
    for (int i = 0; i < 3000; ++i) {
        Shape s{static_cast<int>(below(4)), coordinate(width), coordinate(height), 0, 0, 0, 1,
                below(3) ? white : static_cast<uint32_t>(random()), below(3) != 0,
                blends[below(4)], blends[below(4)], below(2) ? address_clamp : address_wrap,
                ops[below(4)], ops[below(4)]};
        if (below(3)) s.src = blend_src_alpha, s.dest = blend_inv_src_alpha;
        if (below(2)) s.color_op = s.alpha_op = op_modulate;
        s.w = below(2) ? static_cast<float>(sizes[s.texture][0]) : static_cast<float>(below(70) + 1);
        s.h = below(2) ? static_cast<float>(sizes[s.texture][1]) : static_cast<float>(below(50) + 1);
        if (below(3) == 0) s.w = -s.w;
        if (below(4) == 0) s.u0 = static_cast<float>(below(4)) / 4, s.u1 = s.u0 + s.w / 70;
        shapes.push_back(s);
    }

    // Every shape drawn over the pictures before it, once with the shortcuts and once without.
    auto draw_all = [&](bool fast) {
        device_fast_paths(fast);
        device_set_render_state(RenderState::cull_mode, cull_none);
        device_set_stage_state(StageState::color_arg1, arg_texture);
        device_set_stage_state(StageState::color_arg2, arg_diffuse);
        device_set_stage_state(StageState::alpha_arg1, arg_texture);
        device_set_stage_state(StageState::alpha_arg2, arg_diffuse);
        device_clear(0xFF203040);
        std::vector<std::vector<uint32_t>> pictures;
        for (const Shape& s : shapes) {
            device_set_texture(textures[s.texture]);
            device_set_render_state(RenderState::alpha_blend_enable, s.blend);
            device_set_render_state(RenderState::src_blend, s.src);
            device_set_render_state(RenderState::dest_blend, s.dest);
            device_set_sampler_state(SamplerState::address_u, s.address);
            device_set_sampler_state(SamplerState::address_v, s.address);
            device_set_stage_state(StageState::color_op, s.color_op);
            device_set_stage_state(StageState::alpha_op, s.alpha_op);
            Vertex strip[4] = {corner(s.x, s.y, s.colour, s.u0, 0),
                               corner(s.x + s.w, s.y, s.colour, s.u1, 0),
                               corner(s.x, s.y + s.h, s.colour, s.u0, 1),
                               corner(s.x + s.w, s.y + s.h, s.colour, s.u1, 1)};
            device_set_fvf(fvf_quad);
            device_draw_quad_strip(strip);
            pictures.emplace_back(device_back_buffer(), device_back_buffer() + width * height);
        }
        device_fast_paths(true);
        return pictures;
    };
    std::vector<std::vector<uint32_t>> fast = draw_all(true), general = draw_all(false);
    for (size_t i = 0; i < shapes.size(); ++i) {
        const Shape& s = shapes[i];
        ASSERT_EQ(fast[i], general[i])
            << "shape " << i << ": texture " << s.texture << " at " << s.x << "," << s.y << " size "
            << s.w << "x" << s.h << " u " << s.u0 << ".." << s.u1 << " colour " << std::hex
            << s.colour << " blend " << s.blend << " " << s.src << "/" << s.dest << " ops "
            << s.color_op << "/" << s.alpha_op;
    }
    for (Texture* t : textures) texture_release(t);
}

// Run without drawing, the device leaves the picture alone, and a present still counts (and moves
// the headless clock) while the last picture shown stays what it was.
TEST_F(DeviceDraw, WithoutDrawingClearsAndQuadsLeaveThePictureAndPresentsStillCount) {
    device_clear(0xFF0000FF);
    device_present();
    const int presents = headless::presents();
    const uint32_t clock = time_ms();
    device_draws(false);
    device_clear(0xFF00FF00);
    device_set_texture(nullptr);
    quad(0, 0, 800, 600, 0xFFFF0000);
    EXPECT_EQ(pixel(5, 5), 0xFF0000FFu);
    device_present();
    device_draws(true);
    EXPECT_EQ(headless::presents(), presents + 1);
    EXPECT_EQ(time_ms() - clock, headless::present_ms);
    EXPECT_EQ(shown_pixel(5, 5), 0xFF0000FFu);
    device_clear(0xFF00FF00);
    EXPECT_EQ(pixel(5, 5), 0xFF00FF00u);
}
