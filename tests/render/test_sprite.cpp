// Sprites: the states each drawing operation sets, picture loading with colour keys, and what an
// empty Sprite does.
#include "platform/platform.h"
#include "render/sprite.h"
#include "tests/support/test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using platform::DeviceCall;
using platform::RenderState;

namespace {

DeviceCall texture_call(const Sprite& s) {
    return {DeviceCall::texture, 0, reinterpret_cast<uintptr_t>(s.texture)};
}
DeviceCall state_call(RenderState state, uintptr_t value) {
    return {DeviceCall::render_state, static_cast<uint32_t>(state), value};
}
const DeviceCall fvf_call{DeviceCall::fvf, 0, platform::fvf_quad};
const DeviceCall draw_call{DeviceCall::draw, 0, 0};

}  // namespace

using SpriteDrawing = DeviceTest;

TEST_F(SpriteDrawing, EachOperationSetsTextureThenBlendingThenDraws) {
    Sprite s;
    s.texture = platform::texture_create(2, 2);
    s.width = s.height = 2;
    std::vector<DeviceCall> log;
    platform::device_record(&log);
    const std::vector<DeviceCall> blended = {
        state_call(RenderState::alpha_blend_enable, 1),
        state_call(RenderState::src_blend, platform::blend_src_alpha),
        state_call(RenderState::dest_blend, platform::blend_inv_src_alpha), fvf_call, draw_call};
    auto expect_calls = [&](const DeviceCall& texture, const std::vector<DeviceCall>& rest) {
        std::vector<DeviceCall> expected{texture};
        expected.insert(expected.end(), rest.begin(), rest.end());
        EXPECT_EQ(log, expected);
        log.clear();
    };
    draw_sprite_opaque(1, 1, s);
    expect_calls(texture_call(s), {state_call(RenderState::alpha_blend_enable, 0), fvf_call, draw_call});
    draw_sprite(1, 1, s);
    expect_calls(texture_call(s), blended);
    draw_sprite_tinted(1, 1, s, -2, 2, 0x80FFFFFF);
    expect_calls(texture_call(s), blended);
    draw_sprite_scaled(1, 1, s, 4, 4);
    expect_calls(texture_call(s), blended);
    fill_rect(1, 1, 4, 4, 0xFF00C0FF);
    expect_calls(texture_call(Sprite{}), blended);
    release_sprite(s);
}

TEST_F(SpriteDrawing, ColourKeyTurnsExactlyTheKeyTransparent) {
    const std::vector<uint32_t> pixels = {0xFFFFFFFF, 0xFF000000, 0xFFFEFFFF, 0xFF336699};
    std::string path = write_temp_file("keyed.bmp", bmp_file(2, 2, 24, pixels));
    Sprite white_keyed, black_keyed, unkeyed;
    load_sprite(path.c_str(), white_keyed, 0xFFFFFFFF);
    load_sprite(path.c_str(), black_keyed, 0xFF000000);
    load_sprite(path.c_str(), unkeyed, 0);
    ASSERT_EQ(white_keyed.width, 2);
    ASSERT_EQ(white_keyed.height, 2);
    int pitch = 0;
    const uint32_t* w = platform::texture_pixels(white_keyed.texture, &pitch);
    const uint32_t* b = platform::texture_pixels(black_keyed.texture, &pitch);
    const uint32_t* u = platform::texture_pixels(unkeyed.texture, &pitch);
    EXPECT_EQ(std::vector<uint32_t>(w, w + 4), (std::vector<uint32_t>{0, 0xFF000000, 0xFFFEFFFF, 0xFF336699}));
    EXPECT_EQ(std::vector<uint32_t>(b, b + 4), (std::vector<uint32_t>{0xFFFFFFFF, 0, 0xFFFEFFFF, 0xFF336699}));
    EXPECT_EQ(std::vector<uint32_t>(u, u + 4), pixels);

    // Opaque drawing shows keyed pixels black; blended drawing lets the background through.
    fill_rect(0, 0, 800, 600, 0xFF00C0FF);
    draw_sprite_opaque(10, 10, white_keyed);
    draw_sprite(20, 10, white_keyed);
    EXPECT_EQ(pixel(10, 10), 0u);
    EXPECT_EQ(pixel(20, 10), 0xFF00C0FFu);
    EXPECT_EQ(pixel(21, 10), 0xFF000000u);
    for (Sprite* s : {&white_keyed, &black_keyed, &unkeyed}) release_sprite(*s);
}

TEST_F(SpriteDrawing, PalettedBitmapsLoadThroughTheirPalette) {
    std::string path =
        write_temp_file("paletted.bmp", bmp_file(3, 1, 8, {2, 0, 1}, {0xFFFFFF, 0x00FF00, 0x123456}));
    Sprite s;
    load_sprite(path.c_str(), s, 0xFFFFFFFF);
    ASSERT_EQ(s.width, 3);
    int pitch = 0;
    const uint32_t* p = platform::texture_pixels(s.texture, &pitch);
    EXPECT_EQ(p[0], 0xFF123456u);
    EXPECT_EQ(p[1], 0u);
    EXPECT_EQ(p[2], 0xFF00FF00u);
    release_sprite(s);
}

TEST_F(SpriteDrawing, MissingOrBrokenPictureLeavesAnEmptySpriteThatDrawsNothing) {
    std::string broken = write_temp_file("broken.bmp", "BM this is not a bitmap");
    // A sound header whose pixel rows are cut short: the loader refuses it before reading them.
    std::string cut = write_temp_file("cut.bmp", bmp_file(2, 2, 24, {0, 0, 0, 0}).substr(0, 60));
    for (const std::string& path : {std::string("Graphics\\no_such_picture.bmp"), broken, cut}) {
        Sprite s;
        load_sprite(path.c_str(), s, 0xFFFFFFFF);
        EXPECT_EQ(s.texture, nullptr);
        EXPECT_EQ(s.width, 0);
        EXPECT_EQ(s.height, 0);
        fill_rect(0, 0, 800, 600, 0xFF00C0FF);
        draw_sprite(10, 10, s);
        draw_sprite_opaque(10, 10, s);
        EXPECT_EQ(pixel(10, 10), 0xFF00C0FFu);
        release_sprite(s);
        EXPECT_EQ(s.texture, nullptr);
    }
}
