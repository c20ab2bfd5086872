// The font loader at the game's strip size, then every character code and a few numbers drawn with
// it on the headless device, inside the screen and across its edges.
#include "fuzz/support.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/graphics.h"
#include "shell/entry.h"

#include <climits>


namespace {

// As shell/startup.cpp loads font.raw.
constexpr int32_t strip_width = 648;
constexpr int32_t strip_height = 12;
constexpr int32_t spacing = 2;

bool device_ready() {
    platform::headless::reset();
    return graphics_init(800, 600, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    static const bool ready = device_ready();
    fuzz::expect(ready, "the headless device opens");
    Font font;
    load_font(fuzz::write_input(data, size, ".raw"), font, strip_width, strip_height, spacing);
    fuzz::expect(font.sprite.texture != nullptr, "a font file that opens gives a strip");
    for (int c = 0; c < 256; ++c) {
        fuzz::expect(font.glyph_start[c] >= 0 && font.glyph_width[c] >= -1 &&
                         font.glyph_start[c] + font.glyph_width[c] <= strip_width,
                     "every glyph lies inside the strip");
    }

    // Each code alone, whole on the screen; then all in one line, which runs off the right edge;
    // then numbers cut by the bottom-right corner.
    for (int c = 0; c < 256; ++c) {
        const char text[2] = {static_cast<char>(c), '\0'};
        draw_text(0, 0, text, font, 0xFFFFFFFF);
    }
    char every_code[256];
    for (int c = 1; c < 256; ++c) every_code[c - 1] = static_cast<char>(c);
    every_code[255] = '\0';
    draw_text(-3, 300, every_code, font, 0xFF00FF00);
    for (int32_t value : {0, -1, 7, 1234567890, INT_MIN, INT_MAX})
        draw_number(790, 595, value, font, 0x80FF8000);
    release_sprite(font.sprite);
    fuzz::expect(platform::texture_count() == 0, "the released font leaves no texture behind");
    return 0;
}
