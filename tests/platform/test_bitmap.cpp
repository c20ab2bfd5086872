// The picture loader: every depth and row order our pictures may come in, and files whose header
// asks for more than the file holds or more than any picture of ours needs.
#include "platform/platform.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <string>
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
    // A sound 3x2 picture with one thing wrong each time; the last passes our checks and is
    // refused by SDL, whose words follow ours.
    const std::string good = bmp_file(3, 2, 24, std::vector<uint32_t>(6, 0xFF336699));
    std::string no_width = good, no_height = good, odd_depth = good;
    put_at(no_width, 18, 0, 4);
    put_at(no_height, 22, 0, 4);
    put_at(odd_depth, 28, 7, 2);
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
        {"odd_depth.bmp", odd_depth, "not a readable bitmap ("},
    };
    for (const auto& c : refused) {
        std::string path = write_temp_file(c.name, c.bytes);
        EXPECT_TRUE(load(path).pixels.empty()) << c.name;
        EXPECT_EQ(last_error().rfind(path + ": " + c.says, 0), 0u) << last_error();
    }
    // A folder where the picture should be opens for reading, with an absurd length.
    const std::string folder = testing::TempDir() + "folder.bmp";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(load(folder).pixels.empty());
    EXPECT_EQ(last_error(), "cannot open " + folder + ": it is a folder");
}
