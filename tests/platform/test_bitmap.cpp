// The picture loader: every depth and row order our pictures may come in, files whose header asks
// for more than the file holds or more than any picture of ours needs, and thousands of pictures
// read by SDL as well, which must come out the same.
#include "platform/platform.h"
#include "tests/support/test_support.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace platform;

namespace {

void put_at(std::string& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The same picture behind the old 12-byte OS/2 header, which holds 16-bit sizes.
std::string with_core_header(const std::string& file, int width, int height) {
    std::string s = "BM";
    s.append(12, '\0');
    put_at(s, 2, static_cast<uint32_t>(26 + file.size() - 54), 4);
    put_at(s, 10, 26, 4);
    s.append(12, '\0');
    put_at(s, 14, 12, 4);
    put_at(s, 18, width, 2);
    put_at(s, 20, height, 2);
    put_at(s, 22, 1, 2);
    put_at(s, 24, 24, 2);
    return s + file.substr(54);
}

struct Loaded {
    std::vector<uint32_t> pixels;
    ImageInfo info;
};

// Loads a file with white as the colour key; no pixels when it was refused.
Loaded load(const std::string& path) {
    Loaded loaded;
    Texture* texture = texture_from_file(path.c_str(), 0xFFFFFFFF, &loaded.info);
    if (texture) {
        int pitch = 0;
        const uint32_t* p = texture_pixels(texture, &pitch);
        loaded.pixels.assign(p, p + static_cast<size_t>(loaded.info.width) * loaded.info.height);
        texture_release(texture);
    }
    return loaded;
}

}  // namespace

TEST(Bitmap, ReadsEveryDepthBothRowOrdersAndTheOldHeader) {
    // Rows and columns all differ, so a picture read upside down or mirrored shows.
    const std::vector<uint32_t> indices = {0, 1, 1, 1, 0, 0};
    const std::vector<uint32_t> palette = {0xFFFFFF, 0x336699};
    const std::vector<uint32_t> argb = {0xFFFFFFFF, 0xFF336699, 0xFF336699,
                                        0xFF336699, 0xFFFFFFFF, 0xFFFFFFFF};
    const std::vector<uint32_t> keyed = {0, 0xFF336699, 0xFF336699, 0xFF336699, 0, 0};
    const std::pair<const char*, std::string> files[] = {
        {"depth1.bmp", bmp_file(3, 2, 1, indices, palette)},
        {"depth4.bmp", bmp_file(3, 2, 4, indices, palette)},
        {"depth8.bmp", bmp_file(3, 2, 8, indices, palette)},
        {"depth24.bmp", bmp_file(3, 2, 24, argb)},
        {"depth32.bmp", bmp_file(3, 2, 32, argb)},
        {"top_down.bmp", bmp_file(3, -2, 24, argb)},
        {"core.bmp", with_core_header(bmp_file(3, 2, 24, argb), 3, 2)},
    };
    for (const auto& [name, bytes] : files) {
        Loaded loaded = load(write_temp_file(name, bytes));
        EXPECT_EQ(loaded.pixels, keyed) << name << ": " << last_error();
        EXPECT_EQ(loaded.info.width, 3) << name;
        EXPECT_EQ(loaded.info.height, 2) << name;
    }
}

TEST(Bitmap, RefusesOversizedPicturesAndFilesWithoutTakingTheirMemory) {
    // Small pictures whose headers are made to claim more: 30000x30000 in 118 bytes (a 16-colour
    // header and palette, no pixels at all), 65535x65535 behind either header; then two whole
    // pictures one pixel too wide or too tall.
    std::string four_bit = bmp_file(1, 1, 4, {0}, std::vector<uint32_t>(16)).substr(0, 118);
    put_at(four_bit, 18, 30000, 4);
    put_at(four_bit, 22, 30000, 4);
    std::string widest = bmp_file(1, 1, 24, {0});
    put_at(widest, 18, 65535, 4);
    put_at(widest, 22, 65535, 4);
    std::string run_length = bmp_file(1, 1, 8, {0}, {0});
    put_at(run_length, 18, 30000, 4);
    put_at(run_length, 22, 30000, 4);
    put_at(run_length, 30, 1, 4);  // RLE8: only the size can be checked ahead
    std::string core = with_core_header(bmp_file(1, 1, 24, {0}), 65535, 65535);
    const std::vector<uint32_t> line(4097);
    struct Case {
        const char* name;
        std::string bytes;
        const char* size;
    };
    const Case too_big[] = {
        {"claims_30000.bmp", four_bit, "30000x30000"},
        {"claims_65535.bmp", widest, "65535x65535"},
        {"claims_rle.bmp", run_length, "30000x30000"},
        {"claims_core.bmp", core, "65535x65535"},
        {"wide_4097.bmp", bmp_file(4097, 1, 24, line), "4097x1"},
        {"tall_4097.bmp", bmp_file(1, -4097, 24, line), "1x4097"},
    };
    ASSERT_EQ(four_bit.size(), 118u);

    // A sound small picture in a file far longer than any picture needs (sparse: it costs no disk).
    std::string long_path = write_temp_file("long.bmp", bmp_file(1, 1, 24, {0}));
    std::filesystem::resize_file(long_path, 80u << 20);

    long before = peak_memory_kb();
    for (const auto& c : too_big) {
        std::string path = write_temp_file(c.name, c.bytes);
        EXPECT_TRUE(load(path).pixels.empty()) << c.name;
        EXPECT_EQ(last_error(), path + ": its size " + c.size + " is more than 4096 pixels a side");
    }
    EXPECT_TRUE(load(long_path).pixels.empty());
    EXPECT_NE(last_error().find(long_path + ": the file is 83886080 bytes"), std::string::npos)
        << last_error();
    // 4096x4096 at a depth of 0 bits in 36 bytes: no pixel rows to check the file against, so
    // the depth itself must be refused before the picture's 64 MB are taken (found by fuzzing).
    std::string no_depth = bmp_file(1, 1, 24, {0}).substr(0, 36);
    put_at(no_depth, 18, 4096, 4);
    put_at(no_depth, 22, 4096, 4);
    put_at(no_depth, 28, 0, 2);
    put_at(no_depth, 10, 0, 4);  // the pixels "start" at byte 0
    const std::string no_depth_path = write_temp_file("no_depth.bmp", no_depth);
    EXPECT_TRUE(load(no_depth_path).pixels.empty());
    EXPECT_EQ(last_error(), no_depth_path + ": not a readable bitmap (a depth of 0 bits)");
    EXPECT_LT(peak_memory_kb() - before, 16 * 1024) << "a refused picture still took memory";
    std::filesystem::remove(long_path);

    // The largest sizes pass.
    const std::vector<uint32_t> fits(4096, 0xFF102030);
    EXPECT_EQ(load(write_temp_file("wide_4096.bmp", bmp_file(4096, 1, 24, fits))).info.width, 4096);
    EXPECT_EQ(load(write_temp_file("tall_4096.bmp", bmp_file(1, -4096, 24, fits))).info.height,
              4096);
}

TEST(Bitmap, RefusesFilesShorterThanTheirPixelRows) {
    // Each file lacks only its last byte. In the 24- and 4-bit files that is padding (3 pixels make
    // rows of 9 and 2 bytes, padded to 12 and 4), which a reader that forgot the padding would miss.
    const std::vector<uint32_t> argb(6, 0xFF336699);
    std::string bitfields = bmp_file(3, 2, 32, argb);
    put_at(bitfields, 30, 3, 4);
    const std::pair<const char*, std::string> cut[] = {
        {"cut_bottom_up.bmp", bmp_file(3, 2, 24, argb)},
        {"cut_top_down.bmp", bmp_file(3, -2, 24, argb)},
        {"cut_bitfields.bmp", bitfields},
        {"cut_depth4.bmp", bmp_file(3, 2, 4, {0, 1, 0, 1, 0, 1}, {0, 0xFFFFFF})},
    };
    for (const auto& [name, bytes] : cut) {
        std::string path = write_temp_file(name, bytes.substr(0, bytes.size() - 1));
        EXPECT_TRUE(load(path).pixels.empty()) << name;
        std::string says = path + ": the file holds " + std::to_string(bytes.size() - 1) +
                           " bytes but its pixel rows need " + std::to_string(bytes.size());
        EXPECT_EQ(last_error(), says);
    }
}

TEST(Bitmap, RefusesCompressedHeadersThatClaimMorePixelsThanTheFileDraws) {
    // Run-length files draw at most 255 pixels with two bytes, but may skip the rest, which SDL
    // leaves black: 120 bytes (a 16-colour palette and an end-of-picture code) claiming 4096x4096
    // cost 144 MB to load. Any other compression SDL reads as plain rows, taking the whole
    // picture's memory before it finds them missing: 54 bytes of header claiming 4096x4096.
    std::string run_length = bmp_file(1, 1, 4, {0}, std::vector<uint32_t>(16)).substr(0, 118);
    run_length += std::string("\0\1", 2);
    put_at(run_length, 2, 120, 4);
    put_at(run_length, 18, 4096, 4);
    put_at(run_length, 22, 4096, 4);
    put_at(run_length, 30, 2, 4);  // RLE4
    std::string unknown = bmp_file(1, 1, 24, {0}).substr(0, 54);
    put_at(unknown, 18, 4096, 4);
    put_at(unknown, 22, 4096, 4);
    put_at(unknown, 28, 16, 2);
    put_at(unknown, 30, 4, 4);  // a JPEG inside, which SDL does not read
    long before = peak_memory_kb();
    std::string path = write_temp_file("claims_runs.bmp", run_length);
    EXPECT_TRUE(load(path).pixels.empty());
    EXPECT_EQ(last_error(), path + ": its 2 bytes of run-length data cannot draw 4096x4096 pixels");
    path = write_temp_file("claims_rows.bmp", unknown);
    EXPECT_TRUE(load(path).pixels.empty());
    EXPECT_EQ(last_error(), path + ": the file holds 54 bytes but its pixel rows need 33554486");
    EXPECT_LT(peak_memory_kb() - before, 16 * 1024) << "a refused picture still took memory";

    // A run-length picture whose runs draw its pixels still reads: row by row from the bottom,
    // each a run of one and a run of two, then the end of the row or of the picture.
    std::string runs = bmp_file(3, 2, 8, {0, 1, 1, 1, 0, 0}, {0xFFFFFF, 0x336699}).substr(0, 62);
    runs += std::string("\1\1\2\0\0\0\1\0\2\1\0\1", 12);
    put_at(runs, 2, static_cast<uint32_t>(runs.size()), 4);
    put_at(runs, 30, 1, 4);  // RLE8
    Loaded loaded = load(write_temp_file("runs.bmp", runs));
    EXPECT_EQ(loaded.pixels, (std::vector<uint32_t>{0, 0xFF336699, 0xFF336699, 0xFF336699, 0, 0}))
        << last_error();
}

TEST(Bitmap, RefusesFilesThatAreNoBitmapOrDrawNoPixels) {
    // A sound picture with one thing wrong each time; from odd_depth on, the header passes the
    // first checks and the pixels cannot be read.
    const std::string good = bmp_file(3, 2, 24, std::vector<uint32_t>(6, 0xFF336699));
    std::string no_width = good, no_height = good, odd_depth = good, odd_header = good;
    std::string unknown = good, rle8_at_24 = good, masks_at_24 = good;
    put_at(no_width, 18, 0, 4);
    put_at(no_height, 22, 0, 4);
    put_at(odd_depth, 28, 7, 2);
    put_at(odd_header, 14, 20, 4);
    put_at(unknown, 30, 9, 4);
    put_at(rle8_at_24, 30, 1, 4);
    put_at(masks_at_24, 30, 3, 4);
    // Masks after the header: red and green overlap, then green is missing.
    std::string masks = bmp_file(2, 1, 16, {0, 0}).substr(0, 54) + std::string(12, '\0');
    put_at(masks, 10, 66, 4);
    put_at(masks, 30, 3, 4);
    put_at(masks, 54, 0xF800, 4);
    put_at(masks, 58, 0x1FE0, 4);
    put_at(masks, 62, 0x1F, 4);
    masks += std::string(4, '\0');
    std::string no_green = masks;
    put_at(no_green, 58, 0, 4);
    // The OS/2 2.x header is 64 bytes, its compression 3 a code of its own: what follows the
    // first 40 bytes is no masks, even when it would make good ones.
    std::string os2 = masks.substr(0, 66) + std::string(12, '\0') + masks.substr(66);
    put_at(os2, 10, 78, 4);
    put_at(os2, 14, 64, 4);
    put_at(os2, 58, 0x7E0, 4);
    // Index 2 in a palette of two colours; the 4-bit picture holds it in its padding, unread.
    std::string outside = bmp_file(3, 2, 8, {0, 1, 0, 1, 2, 0}, {0, 0xFFFFFF});
    std::string padding = bmp_file(3, 1, 4, {0, 1, 0}, {0, 0xFFFFFF});
    padding[62 + 1] = 0x02;
    // Runs that stop without the end-of-picture code, and an absolute run cut short.
    std::string runs = bmp_file(2, 1, 8, {0, 0}, {0}).substr(0, 58);
    put_at(runs, 30, 1, 4);
    std::string no_end = runs + std::string("\2\0\0\0", 4);
    std::string cut_run = runs + std::string("\0\3\0\0", 4);
    struct Case {
        const char* name;
        std::string bytes;
        const char* says;
    };
    const Case refused[] = {
        {"empty.bmp", "", "not a BMP file"},
        {"gif.bmp", "GIF89a" + good.substr(6), "not a BMP file"},
        {"no_width.bmp", no_width, "its size 0x2 holds no pixels"},
        {"no_height.bmp", no_height, "its size 3x0 holds no pixels"},
        {"odd_depth.bmp", odd_depth, "not a readable bitmap (a depth of 7 bits)"},
        {"odd_header.bmp", odd_header, "not a readable bitmap (a bitmap header of 20 bytes)"},
        {"unknown.bmp", unknown, "not a readable bitmap (unknown compression 9)"},
        {"rle8_at_24.bmp", rle8_at_24, "not a readable bitmap (RLE8 at a depth of 24 bits)"},
        {"masks_at_24.bmp", masks_at_24,
         "not a readable bitmap (colour masks at a depth of 24 bits)"},
        {"overlap.bmp", masks, "not a readable bitmap (unusable colour masks F800 1FE0 1F 0)"},
        {"no_green.bmp", no_green, "not a readable bitmap (unusable colour masks F800 0 1F 0)"},
        {"os2.bmp", os2, "not a readable bitmap (unusable colour masks 0 0 0 0)"},
        {"outside.bmp", outside,
         "not a readable bitmap (a pixel's colour 2 is not in its palette of 2)"},
        {"no_end.bmp", no_end,
         "not a readable bitmap (its runs end before the end-of-picture code)"},
        {"cut_run.bmp", cut_run,
         "not a readable bitmap (its runs end before the end-of-picture code)"},
    };
    for (const auto& c : refused) {
        std::string path = write_temp_file(c.name, c.bytes);
        EXPECT_TRUE(load(path).pixels.empty()) << c.name;
        EXPECT_EQ(last_error(), path + ": " + c.says);
    }
    EXPECT_EQ(load(write_temp_file("padding.bmp", padding)).pixels,
              (std::vector<uint32_t>{0xFF000000, 0, 0xFF000000}))
        << last_error();
    EXPECT_EQ(texture_count(), 0) << "a refused picture left its texture behind";
    // A folder where the picture should be opens for reading, with an absurd length.
    const std::string folder = testing::TempDir() + "folder.bmp";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(load(folder).pixels.empty());
    EXPECT_EQ(last_error(), "cannot open " + folder + ": it is a folder");
}

// ---- the same pixels as SDL ---------------------------------------------------------------------
// The pictures were made and checked with SDL 2.26 reading them; ours must read every one the same.

namespace {

struct Read {
    bool read = false;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

Read read_with_sdl(const std::string& bytes) {
    Read r;
    SDL_Surface* loaded =
        SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!loaded) return r;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb) return r;
    r = {true, argb->w, argb->h, {}};
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(argb->pixels) +
                                                            static_cast<size_t>(y) * argb->pitch);
        r.pixels.insert(r.pixels.end(), row, row + argb->w);
    }
    SDL_FreeSurface(argb);
    return r;
}

Read read_with_ours(const std::string& path) {
    Read r;
    ImageInfo info;
    Texture* texture = texture_from_file(path.c_str(), 0, &info);
    if (!texture) return r;
    int pitch = 0;
    const uint32_t* p = texture_pixels(texture, &pitch);
    r = {true, info.width, info.height, {}};
    for (int y = 0; y < info.height; ++y)
        r.pixels.insert(r.pixels.end(), p + y * (pitch / 4), p + y * (pitch / 4) + info.width);
    texture_release(texture);
    return r;
}

// "" when both read the file (bytes, at path) the same or both refuse it; else how they differ.
std::string compare_with_sdl(const std::string& bytes, const std::string& path,
                             bool* sdl_reads = nullptr) {
    Read sdl = read_with_sdl(bytes), ours = read_with_ours(path);
    if (sdl_reads) *sdl_reads = sdl.read;
    if (sdl.read != ours.read)
        return sdl.read ? "only SDL reads it; ours says " + last_error()
                        : std::string("only ours reads it; SDL says ") + SDL_GetError();
    if (sdl.width != ours.width || sdl.height != ours.height)
        return "SDL reads " + std::to_string(sdl.width) + "x" + std::to_string(sdl.height) +
               ", ours " + std::to_string(ours.width) + "x" + std::to_string(ours.height);
    for (size_t i = 0; i < sdl.pixels.size(); ++i)
        if (sdl.pixels[i] != ours.pixels[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%zu, %zu): SDL %08X, ours %08X",
                          i % static_cast<size_t>(sdl.width), i / static_cast<size_t>(sdl.width),
                          sdl.pixels[i], ours.pixels[i]);
            return text;
        }
    return "";
}

// Colour masks SDL knows, those without alpha first: a header shorter than 56 bytes holds no alpha
// mask, so only they can be named there.
struct Masks {
    int bits;
    uint32_t red, green, blue, alpha;
};
constexpr Masks known_masks[] = {
    {16, 0x7C00, 0x3E0, 0x1F, 0},          {16, 0x1F, 0x3E0, 0x7C00, 0},
    {16, 0xF800, 0x7E0, 0x1F, 0},          {16, 0x1F, 0x7E0, 0xF800, 0},
    {32, 0xFF0000, 0xFF00, 0xFF, 0},       {32, 0xFF, 0xFF00, 0xFF0000, 0},
    {32, 0xFF000000, 0xFF0000, 0xFF00, 0}, {32, 0xFF00, 0xFF0000, 0xFF000000, 0},
    {16, 0x7C00, 0x3E0, 0x1F, 0x8000},     {16, 0x1F, 0x3E0, 0x7C00, 0x8000},
    {16, 0xF800, 0x7C0, 0x3E, 0x1},        {16, 0x3E, 0x7C0, 0xF800, 0x1},
    {16, 0xF00, 0xF0, 0xF, 0xF000},        {16, 0xF, 0xF0, 0xF00, 0xF000},
    {16, 0xF000, 0xF00, 0xF0, 0xF},        {16, 0xF0, 0xF00, 0xF000, 0xF},
    {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF}, {32, 0xFF00, 0xFF0000, 0xFF000000, 0xFF},
    {32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
};
constexpr int masks_without_alpha = 8;

// Random BMP files of every kind SDL reads, from one seed. Mostly sound; some use the format's
// corners (palettes shorter than their colour count, pixels placed after a gap, runs past the end
// of a row, indices outside the palette, run-length data of random bytes), where SDL's reading
// must be matched too.
class RandomBitmaps {
public:
    explicit RandomBitmaps(unsigned seed) : random_(seed) {}

    std::string next(std::string& what) {
        static const uint32_t header_sizes[] = {12, 40, 52, 56, 108, 124};
        header_ = header_sizes[below(6)];
        pick_depth();
        width_ = 1 + static_cast<int>(below(below(4) ? 24 : 70));
        height_ = 1 + static_cast<int>(below(below(4) ? 24 : 70));
        bool top_down = header_ != 12 && below(2);
        what = "header " + std::to_string(header_) + ", " + std::to_string(bits_) +
               " bits, compression " + std::to_string(compression_) + ", " +
               std::to_string(width_) + "x" + std::to_string(height_) +
               (top_down ? " top-down" : "");

        std::string info;
        put(info, header_, 4);
        if (header_ == 12) {
            put(info, width_, 2);
            put(info, height_, 2);
            put(info, 1, 2);
            put(info, bits_, 2);
        } else {
            put(info, width_, 4);
            put(info, top_down ? -height_ : height_, 4);
            put(info, 1, 2);
            put(info, bits_, 2);
            put(info, compression_, 4);
            put(info, random_(), 4);  // nobody reads the image size
            put(info, 2835, 4);
            put(info, 2835, 4);
            put(info, 0, 4);  // the colours used, set below
            put(info, 0, 4);
        }
        // Masks in the header (alpha from 56 bytes on), or after a 40-byte one; without
        // compression 3, whatever a writer left there, which must not count.
        if (header_ >= 52 || (header_ == 40 && compression_ == 3)) {
            const uint32_t masks[] = {masks_.red, masks_.green, masks_.blue, masks_.alpha};
            for (int c = 0; c < (header_ >= 56 ? 4 : 3); ++c)
                put(info, compression_ == 3 ? masks[c] : random_(), 4);
        }
        while (info.size() < header_) info.push_back(static_cast<char>(random_()));

        std::string palette = make_palette(info);
        std::string gap(below(4) ? 0 : below(20), '\0');
        for (char& c : gap) c = static_cast<char>(random_());
        size_t offset = 14 + info.size() + palette.size() + gap.size();
        std::string pixels = compression_ == 1 || compression_ == 2 ? make_runs() : make_rows();
        std::string trailing(below(3) ? 0 : below(40), '\7');

        std::string file = "BM";
        put(file, static_cast<uint32_t>(offset + pixels.size() + trailing.size()), 4);
        put(file, 0, 4);
        put(file, static_cast<uint32_t>(offset), 4);
        return file + info + palette + gap + pixels + trailing;
    }

private:
    uint32_t below(uint32_t n) { return random_() % n; }
    static void put(std::string& s, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(value >> (8 * i)));
    }

    void pick_depth() {
        compression_ = 0;
        if (header_ == 12) {
            static const int core_bits[] = {1, 4, 8, 24, 16, 32};
            bits_ = core_bits[below(below(4) ? 4 : 6)];
        } else {
            static const std::pair<int, uint32_t> kinds[] = {{1, 0},  {4, 0},  {8, 0},  {16, 0},
                                                             {24, 0}, {32, 0}, {8, 1},  {4, 2},
                                                             {16, 3}, {32, 3}, {8, 1},  {4, 2}};
            std::tie(bits_, compression_) = kinds[below(std::size(kinds))];
        }
        uint32_t choices = header_ >= 56 ? std::size(known_masks) : masks_without_alpha;
        do masks_ = known_masks[below(choices)];
        while (compression_ == 3 && masks_.bits != bits_);
        if (compression_ != 3) masks_ = {bits_, 0, 0, 0, 0};
    }

    // Sets the colours used in the header and returns the palette. Usually the colour count names
    // the entries, or is 0 for all of them; sometimes it says more than 256 (read as 256), or is 0
    // with fewer entries than the depth holds (the rest are read from what follows).
    std::string make_palette(std::string& info) {
        if (bits_ > 8) return "";
        int full = 1 << bits_, entries = full;
        uint32_t count = 0;
        switch (header_ == 12 ? 0 : below(5)) {
        case 1:
        case 2:
            entries = 1 + static_cast<int>(below(full));
            count = entries;
            break;
        case 3: count = 257 + below(1000), entries = 256; break;
        case 4: entries = 1 + static_cast<int>(below(full)); break;
        }
        if (header_ != 12) put_at(info, 32, count, 4);
        colours_ = count == 0 || count > 256 ? full : static_cast<int>(count);
        std::string palette;
        for (int i = 0; i < entries; ++i) put(palette, random_(), header_ == 12 ? 3 : 4);
        return palette;
    }

    // Rows of random pixels, padding included. Palette indices stay inside the colours used but
    // for one in some pictures; 32-bit pictures sometimes hold 0 in every fourth byte, or in all
    // but one.
    std::string make_rows() {
        size_t row_bytes = (static_cast<size_t>(width_) * bits_ + 31) / 32 * 4;
        std::string rows(row_bytes * height_, '\0');
        for (char& c : rows) c = static_cast<char>(random_());
        if (bits_ <= 8) {
            for (int y = 0; y < height_; ++y)
                for (int x = 0; x < width_; ++x) {
                    size_t bit = static_cast<size_t>(x) * bits_;
                    char& byte = rows[y * row_bytes + bit / 8];
                    int shift = 8 - bits_ - static_cast<int>(bit % 8);
                    uint32_t index = below(colours_);
                    int keep = ~(((1 << bits_) - 1) << shift);
                    byte = static_cast<char>((byte & keep) | index << shift);
                }
            if (colours_ < (1 << bits_) && !below(6)) rows[0] = static_cast<char>(0xFF);
        }
        if (bits_ == 32 && below(3)) {
            for (size_t i = 3; i < rows.size(); i += 4) rows[i] = 0;
            if (below(2)) rows[4 * below(width_ * height_) + 3] = 1;
        }
        return rows;
    }

    // Run-length data row by row from the bottom: runs, absolute runs, moves, ends of rows and
    // the end of the picture; some runs reach past the row. Padded with zeros for our check that
    // the data can draw the picture (nobody reads past the end code). One in eight is random
    // bytes instead, which may lack the end code.
    std::string make_runs() {
        std::string runs;
        bool rle8 = compression_ == 1;
        if (!below(8)) {
            runs.resize(below(300));
            for (char& c : runs) c = static_cast<char>(random_());
            if (below(2)) runs += std::string("\0\1", 2);
        } else {
            for (int y = 0; y < height_; ++y) {
                for (int x = 0; x < width_ && below(12);) {
                    uint32_t count = 1 + below(std::min(255, width_ - x + (below(8) ? 0 : 20)));
                    uint32_t kind = below(10);
                    if (kind < 5 || count < 3) {
                        put(runs, count, 1);
                        put(runs, random_(), 1);
                    } else if (kind < 9) {
                        put(runs, 0, 1);
                        put(runs, count, 1);
                        uint32_t bytes = rle8 ? count : (count + 1) / 2;
                        for (uint32_t i = 0; i < bytes + bytes % 2; ++i) put(runs, random_(), 1);
                    } else {
                        put(runs, 2 << 8, 2);
                        put(runs, below(6), 1);
                        put(runs, below(2), 1);
                    }
                    x += static_cast<int>(count);
                }
                put(runs, y + 1 < height_ ? 0 : 1 << 8, 2);
            }
        }
        size_t needed = (static_cast<size_t>(width_) * height_ + 254) / 255 * 2;
        if (runs.size() < needed) runs.resize(needed, '\0');
        return runs;
    }

    static void put_at(std::string& s, size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) s[at + i] = static_cast<char>(value >> (8 * i));
    }

    std::mt19937 random_;
    uint32_t header_ = 40, compression_ = 0;
    int bits_ = 24, width_ = 1, height_ = 1, colours_ = 0;
    Masks masks_{};
};

}  // namespace

TEST(Bitmap, ReadsThousandsOfRandomPicturesAsSdlDoes) {
    RandomBitmaps bitmaps(20240613);
    int both_read = 0, failures = 0;
    const int pictures = 4000;
    for (int i = 0; i < pictures && failures < 5; ++i) {
        std::string what;
        std::string bytes = bitmaps.next(what);
        bool sdl_reads = false;
        std::string differs =
            compare_with_sdl(bytes, write_temp_file("random.bmp", bytes), &sdl_reads);
        if (!differs.empty()) {
            ADD_FAILURE() << "picture " << i << " (" << what << "): " << differs;
            ++failures;
        }
        both_read += sdl_reads;
    }
    // The refused ones are only the few made so; most must be read, or this compares nothing.
    EXPECT_GT(both_read, pictures * 8 / 10);
    EXPECT_EQ(texture_count(), 0);
}

TEST(Bitmap, ReadsTheGamesOwnPicturesAsSdlDoes) {
    // The tests run in the built data folder.
    if (!std::filesystem::is_directory("Graphics"))
        GTEST_SKIP() << "no Graphics folder here: build the game's data (brickrun_data) first";
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator("Graphics")) {
        if (entry.path().extension() != ".bmp") continue;
        std::string path = entry.path().string();
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(read_with_sdl(bytes).read) << path;
        EXPECT_EQ(compare_with_sdl(bytes, path), "") << path;
        ++compared;
    }
    EXPECT_GT(compared, 30);
}
