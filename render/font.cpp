#include "render/font.h"

#include "platform/platform.h"

#include <cstdio>
#include <vector>

Font game_font;

namespace {

constexpr int first_glyph = 32;
constexpr int last_glyph = 127;
constexpr uint32_t separator = 255;  // grey level that ends a glyph in row 0

// Finds each glyph's columns on row 0: one skipped column, the glyph, its separator. When the row
// runs out of separators, the glyphs left over stay at column 0 with width 0 (a blank sliver).
void measure_glyphs(Font& font, const uint32_t* row0, int32_t width) {
    int32_t j = 0;
    for (int c = first_glyph; c <= last_glyph; ++c) {
        int32_t k = j;
        while (k < width && (row0[k] & 0xFF) != separator) ++k;
        if (k >= width) break;
        font.glyph_start[c] = j + 1;
        font.glyph_width[c] = k - j - 1;
        j = k + 1;
    }
}

}  // namespace

void load_font(const char* path, Font& font, int32_t width, int32_t height, int32_t spacing) {
    std::FILE* file = platform::open_file(path, "rb");
    if (!file) {
        std::fprintf(stderr, "brickrun: warning: font not loaded, text will show as dots: %s\n",
                     platform::last_error().c_str());
        return;
    }
    for (auto& start : font.glyph_start) start = 0;
    font.spacing = spacing;
    font.sprite.width = width;
    font.sprite.height = height;
    font.sprite.texture = platform::texture_create(width, height);
    if (!font.sprite.texture) {
        std::fclose(file);
        return;
    }
    int pitch = 0;
    uint32_t* pixels = platform::texture_pixels(font.sprite.texture, &pitch);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    bool short_file = false;
    for (int32_t r = 0; r < height; ++r) {
        size_t got = std::fread(row.data(), 1, row.size(), file);
        if (got < row.size()) {
            short_file = true;
            std::fill(row.begin() + static_cast<long>(got), row.end(), 0);
        }
        auto* out = reinterpret_cast<uint32_t*>(reinterpret_cast<unsigned char*>(pixels) + r * pitch);
        for (int32_t i = 0; i < width; ++i) {
            uint32_t g = row[3 * i + 2];
            out[i] = g << 24 | g << 16 | g << 8 | g;  // white ink, alpha = grey level
        }
    }
    std::fclose(file);
    if (short_file)
        std::fprintf(stderr, "brickrun: warning: font file %s is shorter than %dx%d pixels\n", path,
                     width, height);
    measure_glyphs(font, pixels, width);
}

void draw_text(int32_t x, int32_t y, const char* text, const Font& font, uint32_t colour) {
    using platform::RenderState;
    platform::device_set_texture(font.sprite.texture);
    platform::device_set_render_state(RenderState::alpha_blend_enable, 1);
    platform::device_set_render_state(RenderState::src_blend, platform::blend_src_alpha);
    platform::device_set_render_state(RenderState::dest_blend, platform::blend_inv_src_alpha);
    float w = static_cast<float>(font.sprite.width);
    for (const char* p = text; *p; ++p) {
        auto ch = static_cast<unsigned char>(*p);
        if (ch > last_glyph) {
            x += font.spacing;
            continue;
        }
        int32_t start = font.glyph_start[ch];
        int32_t glyph = font.glyph_width[ch];
        float left = w > 0 ? start / w : 0.0f;
        float right = w > 0 ? (start + glyph) / w : 0.0f;
        draw_quad(x, y, glyph + 1, font.sprite.height + 1, colour, left, 0.0f, right, 1.0f);
        x += glyph + font.spacing;
    }
}

void draw_number(int32_t x, int32_t y, int32_t value, const Font& font, uint32_t colour) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    draw_text(x, y, buffer, font, colour);
}
