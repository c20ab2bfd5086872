#include "render/sprite.h"

#include "platform/platform.h"

#include <cstdio>

namespace {

using platform::RenderState;

void set_blending(bool on) {
    platform::device_set_render_state(RenderState::alpha_blend_enable, on);
    if (on) {
        platform::device_set_render_state(RenderState::src_blend, platform::blend_src_alpha);
        platform::device_set_render_state(RenderState::dest_blend, platform::blend_inv_src_alpha);
    }
}

void warn_missing(const char* path) {
    if (reported_pictures.insert(path).second)
        std::fprintf(stderr, "brickrun: warning: picture not loaded, it will draw nothing: %s\n",
                     platform::last_error().c_str());
}

}  // namespace

std::set<std::string> reported_pictures;

void load_sprite(const char* path, Sprite& sprite, uint32_t colour_key, Unloaded unloaded) {
    platform::ImageInfo info;
    platform::Texture* texture = platform::texture_from_file(path, colour_key, &info);
    if (texture) {
        sprite.texture = texture;
    } else if (unloaded == Unloaded::warn) {
        warn_missing(path);
    }
    sprite.width = info.width;
    sprite.height = info.height;
}

void release_sprite(Sprite& sprite) {
    if (sprite.texture) platform::texture_release(sprite.texture);
    sprite.texture = nullptr;
}

void draw_quad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, float left_u,
               float top_v, float right_u, float bottom_v) {
    auto fx = static_cast<float>(x), fy = static_cast<float>(y);
    auto fx2 = static_cast<float>(x + w), fy2 = static_cast<float>(y + h);
    const platform::Vertex strip[4] = {
        {fx, fy, 0.0f, 1.0f, colour, left_u, top_v},
        {fx2, fy, 0.0f, 1.0f, colour, right_u, top_v},
        {fx, fy2, 0.0f, 1.0f, colour, left_u, bottom_v},
        {fx2, fy2, 0.0f, 1.0f, colour, right_u, bottom_v},
    };
    platform::device_set_fvf(platform::fvf_quad);
    platform::device_draw_quad_strip(strip);
}

void draw_sprite_opaque(int32_t x, int32_t y, const Sprite& sprite) {
    platform::device_set_texture(sprite.texture);
    set_blending(false);
    draw_quad(x, y, sprite.width, sprite.height, 0xFFFFFFFF, 0, 0, 1, 1);
}

void draw_sprite(int32_t x, int32_t y, const Sprite& sprite) {
    platform::device_set_texture(sprite.texture);
    set_blending(true);
    draw_quad(x, y, sprite.width, sprite.height, 0xFFFFFFFF, 0, 0, 1, 1);
}

void draw_sprite_tinted(int32_t x, int32_t y, const Sprite& sprite, int32_t w, int32_t h,
                        uint32_t colour) {
    platform::device_set_texture(sprite.texture);
    set_blending(true);
    draw_quad(x, y, w, h, colour, 0, 0, 1, 1);
}

void draw_sprite_scaled(int32_t x, int32_t y, const Sprite& sprite, int32_t w, int32_t h) {
    platform::device_set_texture(sprite.texture);
    set_blending(true);
    draw_quad(x, y, w, h, 0xFFFFFFFF, 0, 0, 1, 1);
}

void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    platform::device_set_texture(nullptr);
    set_blending(true);
    draw_quad(x, y, w, h, colour, 0, 0, 1, 1);
}
