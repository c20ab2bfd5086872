// The picture loader: any BMP file SDL can read (1, 4, 8, 24 and 32 bits), at its own size, into
// 32-bit ARGB with the colour key applied. Shared by both backends; needs no display.
//
// The header is checked before the file is trusted, since SDL sizes its memory by it: a picture
// larger than 4096x4096 is refused (no picture of ours comes near it), and so is a file shorter
// than its pixel rows, a run-length file too short to draw all its pixels, or a file far longer
// than the largest picture needs.
#include "platform/platform.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

constexpr int64_t max_side = 4096;
// The largest picture at 32 bits, with a megabyte to spare for headers, palette and colour profile.
constexpr long max_file_bytes = max_side * max_side * 4 + (1 << 20);

constexpr size_t file_header_bytes = 14;
constexpr uint32_t core_header_bytes = 12;  // the old OS/2 header: 16-bit sizes, no compression
constexpr size_t header_bytes = file_header_bytes + 20;  // through the info header's compression
constexpr uint32_t bi_rgb = 0;
constexpr uint32_t bi_rle8 = 1;
constexpr uint32_t bi_rle4 = 2;
// No two bytes of run-length data draw more than this many pixels (a count byte and a colour).
constexpr uint64_t max_run = 255;

uint32_t little_endian(const unsigned char* b, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[i];
    return value;
}

// What is wrong with the file whose first `got` bytes are in head, or "" when its header is sane.
std::string header_problem(const unsigned char* head, size_t got, long file_bytes) {
    if (got < file_header_bytes + 4 || head[0] != 'B' || head[1] != 'M') return "not a BMP file";
    uint32_t pixel_offset = little_endian(head + 10, 4);
    bool core = little_endian(head + 14, 4) == core_header_bytes;
    if (got < (core ? file_header_bytes + core_header_bytes : header_bytes))
        return "too short for its bitmap header";
    int64_t width, height;
    uint32_t bits, compression = bi_rgb;
    if (core) {
        width = little_endian(head + 18, 2);
        height = little_endian(head + 20, 2);
        bits = little_endian(head + 24, 2);
    } else {
        width = static_cast<int32_t>(little_endian(head + 18, 4));
        height = static_cast<int32_t>(little_endian(head + 22, 4));
        bits = little_endian(head + 28, 2);
        compression = little_endian(head + 30, 4);
    }
    if (height < 0) height = -height;  // the rows run top-down
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width <= 0 || height == 0) return "its size " + size + " holds no pixels";
    if (width > max_side || height > max_side)
        return "its size " + size + " is more than " + std::to_string(max_side) + " pixels a side";
    if (compression == bi_rle8 || compression == bi_rle4) {
        // Runs may skip pixels, which SDL leaves black, so without this a file of a hundred bytes
        // could claim 4096x4096 and cost 144 MB to load. Its runs must cover its pixels.
        uint64_t data = static_cast<uint64_t>(file_bytes) > pixel_offset
                            ? static_cast<uint64_t>(file_bytes) - pixel_offset
                            : 0;
        if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > data / 2 * max_run)
            return "its " + std::to_string(data) + " bytes of run-length data cannot draw " + size +
                   " pixels";
    } else {
        // SDL reads plain rows for any other compression, having taken the whole picture's memory
        // first (it fails on the ones it cannot read only then). Rows are padded to 32-bit words.
        uint64_t row_bytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
        uint64_t needed = pixel_offset + row_bytes * static_cast<uint64_t>(height);
        if (needed > static_cast<uint64_t>(file_bytes))
            return "the file holds " + std::to_string(file_bytes) +
                   " bytes but its pixel rows need " + std::to_string(needed);
    }
    return "";
}

// Reads the whole file into bytes once its length and header have passed; else the problem.
std::string read_checked(std::FILE* file, std::vector<unsigned char>& bytes) {
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return "cannot find the file's length";
    if (length > max_file_bytes)
        return "the file is " + std::to_string(length) + " bytes, more than any picture of " +
               std::to_string(max_side) + "x" + std::to_string(max_side) + " needs";
    unsigned char head[header_bytes];
    size_t got = std::fread(head, 1, sizeof head, file);
    std::string problem = header_problem(head, got, length);
    if (!problem.empty()) return problem;
    bytes.assign(head, head + got);
    bytes.resize(std::max(static_cast<size_t>(length), got));
    bytes.resize(got + std::fread(bytes.data() + got, 1, bytes.size() - got, file));
    return "";
}

}  // namespace

Texture* texture_from_file(const char* game_path, uint32_t colour_key, ImageInfo* info) {
    std::FILE* file = open_file(game_path, "rb");
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    std::string problem = read_checked(file, bytes);
    std::fclose(file);
    if (!problem.empty()) {
        set_error(std::string(game_path) + ": " + problem);
        return nullptr;
    }

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
        const auto* in = static_cast<const unsigned char*>(argb->pixels);
        auto width = static_cast<size_t>(argb->w);
        for (size_t y = 0; y < static_cast<size_t>(argb->h); ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(in + y * static_cast<size_t>(argb->pitch));
            uint32_t* out_row = out + y * (static_cast<size_t>(pitch) / 4);
            for (size_t x = 0; x < width; ++x) {
                uint32_t pixel = row[x];
                out_row[x] = (colour_key != 0 && pixel == colour_key) ? 0 : pixel;
            }
        }
        info->width = argb->w;
        info->height = argb->h;
    }
    SDL_FreeSurface(argb);
    return texture;
}

}  // namespace platform
