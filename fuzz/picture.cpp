// The picture loader as the game calls it: load_sprite on a file, with opaque white as the colour
// key (most of our pictures use it), then release_sprite.
#include "fuzz/support.h"
#include "platform/platform.h"
#include "render/sprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    constexpr uint32_t white_key = 0xFFFFFFFF;
    Sprite sprite;
    load_sprite(fuzz::write_input(data, size, ".bmp"), sprite, white_key);
    if (!sprite.texture) {
        fuzz::expect(sprite.width == 0 && sprite.height == 0, "a refused picture has size 0 by 0");
        return 0;
    }
    fuzz::expect(sprite.width >= 1 && sprite.width <= 4096 && sprite.height >= 1 &&
                     sprite.height <= 4096,
                 "a picture is 1 to 4096 pixels a side");
    int pitch = 0;
    const uint32_t* pixels = platform::texture_pixels(sprite.texture, &pitch);
    for (int32_t y = 0; y < sprite.height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch / 4);
        for (int32_t x = 0; x < sprite.width; ++x)
            fuzz::expect(row[x] != white_key, "no pixel keeps the colour key");
    }
    release_sprite(sprite);
    fuzz::expect(platform::texture_count() == 0, "a released picture leaves no texture behind");
    return 0;
}
