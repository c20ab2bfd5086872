// Pictures and the one quad primitive that all drawing goes through.
//
// A Sprite is a plain value: copies share the texture, and only the program-wide Sprites loaded at
// start-up own theirs. The drawing operations choose the texture and the blending and then call
// draw_quad; (x, y) is always the top-left corner in screen pixels, and a negative width or height
// mirrors the picture over the pixels to the left of x or above y.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace platform {
struct Texture;
}

struct Sprite {
    platform::Texture* texture = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

// What a picture that cannot be loaded deserves: a warning (once on stderr), or nothing, for a name
// the game asks for knowing that no such picture is shown.
enum class Unloaded { warn, quiet };

// Loads a bitmap at its own size; pixels equal to colour_key become transparent (0 keys nothing).
// A missing or unreadable file leaves a null texture of size 0 by 0.
void load_sprite(const char* path, Sprite& sprite, uint32_t colour_key,
                 Unloaded unloaded = Unloaded::warn);
void release_sprite(Sprite& sprite);
// The pictures reported missing so far: a picture that is missing stays missing for the whole run
// (the debris pictures are asked for again and again), so each name is reported once.
extern std::set<std::string> reported_pictures;

// One quad with whatever texture and blending are set.
void draw_quad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, float left_u,
               float top_v, float right_u, float bottom_v);

void draw_sprite_opaque(int32_t x, int32_t y, const Sprite& sprite);
void draw_sprite(int32_t x, int32_t y, const Sprite& sprite);
void draw_sprite_tinted(int32_t x, int32_t y, const Sprite& sprite, int32_t w, int32_t h,
                        uint32_t colour);
void draw_sprite_scaled(int32_t x, int32_t y, const Sprite& sprite, int32_t w, int32_t h);
void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
