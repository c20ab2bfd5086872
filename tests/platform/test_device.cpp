// The software device: which pixels a quad covers, how texels map onto them, and the arithmetic of
// the combiner and the blend.
#include "platform/platform.h"
#include "tests/support/test_support.h"

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
