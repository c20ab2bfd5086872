// The picture loader: any BMP file SDL can read (1, 4, 8, 24 and 32 bits), at its own size, into
// 32-bit ARGB with the colour key applied. Shared by both backends; needs no display.
#include "platform/platform.h"

#include <SDL.h>

#include <vector>

namespace platform {

Texture* texture_from_file(const char* game_path, uint32_t colour_key, ImageInfo* info) {
    std::FILE* file = open_file(game_path, "rb");
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);

    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!loaded) {
        set_error(std::string(game_path) + ": not a readable bitmap (" + SDL_GetError() + ")");
        return nullptr;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) {
        set_error(std::string(game_path) + ": cannot convert the bitmap (" + SDL_GetError() + ")");
        return nullptr;
    }
    Texture* texture = texture_create(argb->w, argb->h);
    if (texture) {
        int pitch = 0;
        uint32_t* out = texture_pixels(texture, &pitch);
        for (int y = 0; y < argb->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(argb->pixels) + y * argb->pitch);
            for (int x = 0; x < argb->w; ++x) {
                uint32_t pixel = row[x];
                out[y * (pitch / 4) + x] = (colour_key != 0 && pixel == colour_key) ? 0 : pixel;
            }
        }
        info->width = argb->w;
        info->height = argb->h;
    }
    SDL_FreeSurface(argb);
    return texture;
}

}  // namespace platform
