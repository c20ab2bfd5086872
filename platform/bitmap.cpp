// The picture loader: BMP files of 1, 4, 8, 16, 24 and 32 bits, plain, run-length coded or with
// colour masks, behind the old OS/2 header or any Windows one, at their own size into 32-bit ARGB
// with the colour key applied. Shared by every backend; needs no display and no SDL.
//
// The pictures were made and checked with SDL 2.26 reading them, so this reads every sound file SDL
// read into the very same pixels, its odd corners included (noted where they are), and the game
// looks the same on every platform. What SDL read as noise (unknown compressions, run-length codes
// or colour masks at a depth they do not fit, depths no BMP has) is refused instead; colour masks
// SDL did not know are read like those it did.
//
// The header is checked before the file is trusted, since memory is sized by it: a picture larger
// than 4096x4096 is refused (no picture of ours comes near it), and so is a file shorter than its
// pixel rows, a run-length file too short to draw all its pixels, or a file far longer than the
// largest picture needs.
#include "platform/platform.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr int64_t max_side = 4096;
// The largest picture at 32 bits, with a megabyte to spare for headers, palette and colour profile.
constexpr long max_file_bytes = max_side * max_side * 4 + (1 << 20);

constexpr size_t file_header_bytes = 14;
constexpr uint32_t core_header_bytes = 12;  // the old OS/2 header: 16-bit sizes, no compression
constexpr uint32_t info_header_bytes = 40;  // the Windows header; later ones only add to it
constexpr uint32_t os2_header_bytes = 64;   // OS/2 2.x: its compression 3 is no colour masks
constexpr size_t header_bytes = file_header_bytes + 20;  // through the info header's compression
constexpr uint32_t bi_rgb = 0;
constexpr uint32_t bi_rle8 = 1;
constexpr uint32_t bi_rle4 = 2;
constexpr uint32_t bi_bitfields = 3;
// No two bytes of run-length data draw more than this many pixels (a count byte and a colour).
constexpr uint64_t max_run = 255;

uint32_t little_endian(const unsigned char* b, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[i];
    return value;
}

struct Header {
    uint32_t size = 0;  // of the bitmap header, after the file header
    uint32_t pixel_offset = 0, bits = 0, compression = bi_rgb;
    int64_t width = 0, height = 0;  // the height made positive
    bool top_down = false;
};

// What is wrong with the file whose first `got` bytes are in head, or "" when its header is sane.
std::string header_problem(const unsigned char* head, size_t got, long file_bytes, Header& h) {
    if (got < file_header_bytes + 4 || head[0] != 'B' || head[1] != 'M') return "not a BMP file";
    h.pixel_offset = little_endian(head + 10, 4);
    h.size = little_endian(head + 14, 4);
    bool core = h.size == core_header_bytes;
    if (got < (core ? file_header_bytes + core_header_bytes : header_bytes))
        return "too short for its bitmap header";
    if (core) {
        h.width = little_endian(head + 18, 2);
        h.height = little_endian(head + 20, 2);
        h.bits = little_endian(head + 24, 2);
    } else {
        h.width = static_cast<int32_t>(little_endian(head + 18, 4));
        h.height = static_cast<int32_t>(little_endian(head + 22, 4));
        h.bits = little_endian(head + 28, 2);
        h.compression = little_endian(head + 30, 4);
    }
    h.top_down = h.height < 0;
    if (h.top_down) h.height = -h.height;
    std::string size = std::to_string(h.width) + "x" + std::to_string(h.height);
    if (h.width <= 0 || h.height == 0) return "its size " + size + " holds no pixels";
    if (h.width > max_side || h.height > max_side)
        return "its size " + size + " is more than " + std::to_string(max_side) + " pixels a side";
    if (h.compression == bi_rle8 || h.compression == bi_rle4) {
        // Runs may skip pixels, which are left at colour 0, so without this a file of a hundred
        // bytes could claim 4096x4096 and cost 64 MB to load. Its runs must cover its pixels.
        uint64_t data = static_cast<uint64_t>(file_bytes) > h.pixel_offset
                            ? static_cast<uint64_t>(file_bytes) - h.pixel_offset
                            : 0;
        if (static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) > data / 2 * max_run)
            return "its " + std::to_string(data) + " bytes of run-length data cannot draw " + size +
                   " pixels";
    } else {
        // Any other compression is refused only after this, so that a file claiming pixels it
        // does not hold always says so. Rows are padded to 32-bit words.
        uint64_t row_bytes = (static_cast<uint64_t>(h.width) * h.bits + 31) / 32 * 4;
        uint64_t needed = h.pixel_offset + row_bytes * static_cast<uint64_t>(h.height);
        if (needed > static_cast<uint64_t>(file_bytes))
            return "the file holds " + std::to_string(file_bytes) +
                   " bytes but its pixel rows need " + std::to_string(needed);
    }
    return "";
}

// Reads the whole file into bytes once its length and header have passed; else the problem.
std::string read_checked(std::FILE* file, std::vector<unsigned char>& bytes, Header& header) {
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return "cannot find the file's length";
    if (length > max_file_bytes)
        return "the file is " + std::to_string(length) + " bytes, more than any picture of " +
               std::to_string(max_side) + "x" + std::to_string(max_side) + " needs";
    unsigned char head[header_bytes];
    size_t got = std::fread(head, 1, sizeof head, file);
    std::string problem = header_problem(head, got, length, header);
    if (!problem.empty()) return problem;
    bytes.assign(head, head + got);
    bytes.resize(std::max(static_cast<size_t>(length), got));
    bytes.resize(got + std::fread(bytes.data() + got, 1, bytes.size() - got, file));
    return "";
}

// The picture being decoded into its texture, rows from the top.
struct Picture {
    const std::vector<unsigned char>& file;
    const Header& header;
    uint32_t* pixels;
    size_t pitch;  // in pixels

    // Little-endian bytes at `at`; those past the end of the file read as `past_end` (a header or
    // palette may run off the end of a file whose pixels come earlier).
    uint32_t read(uint64_t at, int count, unsigned char past_end = 0) const {
        uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i)
            value = value << 8 | (at + i < file.size() ? file[at + i] : past_end);
        return value;
    }
    uint32_t& pixel(int64_t x, int64_t y) const {
        return pixels[static_cast<size_t>(y) * pitch + static_cast<size_t>(x)];
    }
};

// Up to 256 colours, read as SDL did: all 256 when the header names none or more than 256 (for 1
// and 4 bits too), a colour past the end of the file white, the fourth byte never alpha.
std::vector<uint32_t> read_palette(const Picture& p) {
    uint32_t colours = p.header.size == core_header_bytes ? 0 : p.read(file_header_bytes + 32, 4);
    if (colours == 0 || colours > 256) colours = 256;
    int entry = p.header.size == core_header_bytes ? 3 : 4;
    uint64_t start = file_header_bytes + uint64_t{p.header.size};
    std::vector<uint32_t> palette(colours);
    for (uint32_t i = 0; i < colours; ++i)
        palette[i] = 0xFF000000 | p.read(start + uint64_t{i} * entry, 3, 0xFF);
    return palette;
}

// One colour of a masked pixel, its bits spread over 0 to 255 as SDL spreads them.
struct Channel {
    uint32_t mask = 0;
    int shift = 0, bits = 0;

    uint32_t value(uint32_t pixel) const {
        uint32_t v = (pixel & mask) >> shift;
        return bits > 8 ? v >> (bits - 8) : v * 255 / ((1u << bits) - 1);
    }
};

// The four masks (red, green, blue, alpha) as channels; false unless each is one unbroken run of
// bits inside the pixel, none overlap, and only alpha may be missing.
bool make_channels(const uint32_t masks[4], uint32_t bits, Channel channels[4]) {
    uint64_t used = 0;
    for (int c = 0; c < 4; ++c) {
        uint32_t mask = masks[c];
        if (mask == 0) {
            if (c < 3) return false;
            continue;
        }
        int shift = std::countr_zero(mask);
        int run = std::popcount(mask);
        if (mask >> shift != (uint64_t{1} << run) - 1 || (used & mask) || mask >> (bits - 1) >> 1)
            return false;
        used |= mask;
        channels[c] = {mask, shift, run};
    }
    return true;
}

// Plain rows of 16, 24 or 32 bits, through the masks.
std::string read_masked_rows(const Picture& p, uint32_t masks[4], uint64_t row_bytes) {
    Channel ch[4];
    if (!make_channels(masks, p.header.bits, ch)) {
        char text[64];
        std::snprintf(text, sizeof text, "unusable colour masks %X %X %X %X", masks[0], masks[1],
                      masks[2], masks[3]);
        return text;
    }
    // SDL turns this one layout into ARGB by two tables, one per byte, so green's low three bits
    // count 4 each, not 255/63.
    bool rgb565 = masks[0] == 0xF800 && masks[1] == 0x7E0 && masks[2] == 0x1F && masks[3] == 0;
    uint32_t bytes = p.header.bits / 8;
    for (int64_t row = 0; row < p.header.height; ++row) {
        int64_t y = p.header.top_down ? row : p.header.height - 1 - row;
        uint64_t at = p.header.pixel_offset + static_cast<uint64_t>(row) * row_bytes;
        for (int64_t x = 0; x < p.header.width; ++x, at += bytes) {
            uint32_t v = p.read(at, static_cast<int>(bytes));
            uint32_t green = ch[1].value(v);
            if (rgb565) green = (v >> 5 & 0x38) * 255 / 63 + (v >> 5 & 7) * 4;
            uint32_t alpha = ch[3].mask ? ch[3].value(v) : 0xFF;
            p.pixel(x, y) = alpha << 24 | ch[0].value(v) << 16 | green << 8 | ch[2].value(v);
        }
    }
    return "";
}

// Plain rows of palette indices, the leftmost pixel in a byte's high bits. An index outside the
// palette refuses the file, as SDL did.
std::string read_indexed_rows(const Picture& p, const std::vector<uint32_t>& palette,
                              uint64_t row_bytes) {
    uint32_t bits = p.header.bits;
    for (int64_t row = 0; row < p.header.height; ++row) {
        int64_t y = p.header.top_down ? row : p.header.height - 1 - row;
        uint64_t start = p.header.pixel_offset + static_cast<uint64_t>(row) * row_bytes;
        for (int64_t x = 0; x < p.header.width; ++x) {
            uint64_t bit = static_cast<uint64_t>(x) * bits;
            uint32_t byte = p.read(start + bit / 8, 1);
            uint32_t index = byte >> (8 - bits - bit % 8) & ((1u << bits) - 1);
            if (index >= palette.size())
                return "a pixel's colour " + std::to_string(index) + " is not in its palette of " +
                       std::to_string(palette.size());
            p.pixel(x, y) = palette[index];
        }
    }
    return "";
}

// Run-length data as SDL drew it. It drew into rows of one byte a pixel, padded to 32-bit words,
// and kept only its place in the whole block: so a run past the end of a row goes on through the
// padding into the start of the row below, and skipped pixels keep colour 0. It always started
// from the bottom row, also for a top-down file. An index outside the palette is transparent black.
std::string read_runs(const Picture& p, const std::vector<uint32_t>& palette) {
    const bool rle8 = p.header.compression == bi_rle8;
    const int64_t width = p.header.width, pitch = (width + 3) / 4 * 4;
    const int64_t total = pitch * p.header.height;
    std::fill(p.pixels, p.pixels + p.pitch * p.header.height, palette[0]);
    int64_t line = total - pitch;  // where the row being drawn starts
    int64_t column = 0;            // may run past the row
    // Draws count pixels from the cursor on, alternating the two colours.
    auto draw = [&](int64_t count, uint32_t first, uint32_t second) {
        int64_t start = line + column;
        for (int64_t i = std::max<int64_t>(0, -start); i < count && start + i < total; ++i) {
            int64_t at = start + i;
            uint32_t index = i % 2 ? second : first;
            if (at % pitch < width)
                p.pixel(at % pitch, at / pitch) = index < palette.size() ? palette[index] : 0;
        }
        column += count;
    };
    const size_t end = p.file.size();
    size_t at = p.header.pixel_offset;
    const char* cut = "its runs end before the end-of-picture code";
    for (;;) {
        if (at + 2 > end) return cut;
        uint32_t count = p.file[at], code = p.file[at + 1];
        at += 2;
        if (count) {  // a run of one colour, or of two alternating
            if (rle8) draw(count, code, code);
            else draw(count, code >> 4, code & 15);
        } else if (code == 0) {  // end of the row
            column = 0;
            line -= pitch;
        } else if (code == 1) {
            return "";
        } else if (code == 2) {  // move right and up
            if (at + 2 > end) return cut;
            column += p.file[at];
            line -= p.file[at + 1] * pitch;
            at += 2;
        } else {  // that many pixels as they are, padded to a 16-bit word
            size_t bytes = rle8 ? code : (code + 1) / 2;
            if (at + bytes + bytes % 2 > end) return cut;
            for (uint32_t i = 0; i < code; ++i) {
                uint32_t byte = p.file[at + (rle8 ? i : i / 2)];
                uint32_t index = rle8 ? byte : (i % 2 ? byte & 15 : byte >> 4);
                draw(1, index, index);
            }
            at += bytes + bytes % 2;
        }
    }
}

// Why pixels of this header cannot be read, or "". Asked before the picture's memory is taken: a
// depth of 0 bits makes the rows check pass for any size.
std::string format_problem(const Header& h) {
    if (h.size != core_header_bytes && h.size < info_header_bytes)
        return "a bitmap header of " + std::to_string(h.size) + " bytes";
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return "a depth of " + std::to_string(h.bits) + " bits";
    if (h.compression > bi_bitfields)
        return "unknown compression " + std::to_string(h.compression);
    bool fits = h.compression == bi_rle8        ? h.bits == 8
                : h.compression == bi_rle4      ? h.bits == 4
                : h.compression == bi_bitfields ? h.bits == 16 || h.bits == 32
                                                : true;
    const char* names[] = {"", "RLE8", "RLE4", "colour masks"};
    if (!fits)
        return std::string(names[h.compression]) + " at a depth of " + std::to_string(h.bits) +
               " bits";
    return "";
}

// Decodes the checked file, whose format_problem is "", into pixels (header.width x
// header.height, pitch pixels a row); else why it cannot be read.
std::string decode(const std::vector<unsigned char>& file, const Header& h, uint32_t* pixels,
                   size_t pitch) {
    Picture p{file, h, pixels, pitch};
    if (h.bits <= 8) {
        std::vector<uint32_t> palette = read_palette(p);
        if (h.compression != bi_rgb) return read_runs(p, palette);
        return read_indexed_rows(p, palette, (h.width * h.bits + 31) / 32 * 4);
    }
    // 16 bits are 5 each of red, green and blue unless masks say otherwise. The masks come after
    // the 40-byte header, where the later headers hold them; alpha only in a header that has it.
    uint32_t masks[4] = {0x7C00, 0x3E0, 0x1F, 0};
    if (h.bits > 16) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h.bits == 32) masks[3] = 0xFF000000;
    if (h.compression == bi_bitfields) {
        bool in_file = h.size != os2_header_bytes;
        for (int c = 0; c < 4; ++c) {
            bool held = in_file && (c < 3 || h.size >= 56);
            masks[c] = held ? p.read(file_header_bytes + info_header_bytes + 4 * c, 4) : 0;
        }
    }
    std::string problem = read_masked_rows(p, masks, (h.width * h.bits + 31) / 32 * 4);
    if (problem.empty() && h.bits == 32 && h.compression == bi_rgb) {
        // The fourth byte of a plain 32-bit pixel is alpha, unless it is 0 all over the picture:
        // such files were written with the byte unused.
        size_t count = pitch * h.height;
        if (std::all_of(pixels, pixels + count, [](uint32_t c) { return c >> 24 == 0; }))
            for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000;
    }
    return problem;
}

}  // namespace

Texture* texture_from_file(const char* game_path, uint32_t colour_key, ImageInfo* info) {
    std::FILE* file = open_file(game_path, "rb");
    if (!file) return nullptr;
    std::vector<unsigned char> bytes;
    Header header;
    std::string problem = read_checked(file, bytes, header);
    std::fclose(file);
    if (!problem.empty()) {
        set_error(std::string(game_path) + ": " + problem);
        return nullptr;
    }
    problem = format_problem(header);
    if (!problem.empty()) {
        set_error(std::string(game_path) + ": not a readable bitmap (" + problem + ")");
        return nullptr;
    }
    auto width = static_cast<int>(header.width), height = static_cast<int>(header.height);
    Texture* texture = texture_create(width, height);
    if (!texture) return nullptr;
    int pitch = 0;
    uint32_t* pixels = texture_pixels(texture, &pitch);
    size_t row = static_cast<size_t>(pitch) / 4;
    problem = decode(bytes, header, pixels, row);
    if (!problem.empty()) {
        texture_release(texture);
        set_error(std::string(game_path) + ": not a readable bitmap (" + problem + ")");
        return nullptr;
    }
    if (colour_key != 0)
        for (size_t y = 0; y < static_cast<size_t>(height); ++y)
            std::replace(pixels + y * row, pixels + y * row + width, colour_key, 0u);
    info->width = width;
    info->height = height;
    return texture;
}

}  // namespace platform
