#include "tools/headless/image_file.h"

#ifndef BRICKRUN_WITHOUT_ZLIB
#include <zlib.h>
#endif

#include <cctype>
#include <cstdio>
#include <vector>

namespace {

void put_le(std::vector<unsigned char>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

#ifndef BRICKRUN_WITHOUT_ZLIB
void put32_be(std::vector<unsigned char>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void png_chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    put32_be(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    put32_be(out, static_cast<uint32_t>(crc));
}

bool encode_png(const uint32_t* pixels, int width, int height, bool alpha,
                std::vector<unsigned char>& out) {
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + (alpha ? 4 : 3) * width));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            raw.push_back(static_cast<unsigned char>(p >> 16));
            raw.push_back(static_cast<unsigned char>(p >> 8));
            raw.push_back(static_cast<unsigned char>(p));
            if (alpha) raw.push_back(static_cast<unsigned char>(p >> 24));
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packed_size);

    const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.assign(signature, signature + sizeof signature);
    std::vector<unsigned char> header;
    put32_be(header, static_cast<uint32_t>(width));
    put32_be(header, static_cast<uint32_t>(height));
    // 8-bit RGB or RGBA, no interlace.
    header.insert(header.end(), {8, static_cast<unsigned char>(alpha ? 6 : 2), 0, 0, 0});
    png_chunk(out, "IHDR", header);
    png_chunk(out, "IDAT", packed);
    png_chunk(out, "IEND", {});
    return true;
}
#endif

void encode_bmp(const uint32_t* pixels, int width, int height, std::vector<unsigned char>& out) {
    uint32_t row_bytes = (3 * width + 3) & ~3u;
    uint32_t image_bytes = row_bytes * height;
    out.clear();
    out.push_back('B');
    out.push_back('M');
    put_le(out, 54 + image_bytes, 4);
    put_le(out, 0, 4);
    put_le(out, 54, 4);
    put_le(out, 40, 4);
    put_le(out, width, 4);
    put_le(out, height, 4);
    put_le(out, 1, 2);
    put_le(out, 24, 2);
    put_le(out, 0, 4);
    put_le(out, image_bytes, 4);
    put_le(out, 2835, 4);
    put_le(out, 2835, 4);
    put_le(out, 0, 4);
    put_le(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            put_le(out, p & 0xFFFFFF, 3);
        }
        out.resize(start + row_bytes, 0);
    }
}

bool ends_with(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i]) return false;
    }
    return true;
}

}  // namespace

bool write_image(const std::string& path, const uint32_t* pixels, int width, int height,
                 std::string& error, [[maybe_unused]] bool alpha) {
    std::vector<unsigned char> bytes;
    if (ends_with(path, ".png")) {
#ifndef BRICKRUN_WITHOUT_ZLIB
        if (!encode_png(pixels, width, height, alpha, bytes)) {
            error = path + ": cannot compress the picture";
            return false;
        }
#else
        error = path + ": this build writes no PNG (it has no zlib): name the picture .bmp";
        return false;
#endif
    } else if (ends_with(path, ".bmp")) {
        encode_bmp(pixels, width, height, bytes);
    } else {
        error = path + ": the file name must end in .png or .bmp";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) written = false;
    if (!written) error = path + ": cannot write the file";
    return written;
}
