// Pictures: text pixel art with a palette, compiled to a 24-bit BMP.
//
// The header lines (picture, scale, colour) come first; the first line without a space that is not
// a keyword starts the rows. Rows never contain spaces, which is what tells the two apart.
#include "tools/assets/picture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/bytes.h"

namespace assets {
namespace {

struct Swatch {
    bool defined = false;
    int line = 0;  // where it was defined, for the duplicate message
    std::uint8_t red = 0, green = 0, blue = 0;
};

struct Picture {
    int width = 0;  // pixels; 0 until the picture line has been read
    int height = 0;
    int scale = 1;  // pixels per character, each way
    bool has_scale = false;
    std::array<Swatch, 256> palette{};  // indexed by the character's byte value
    std::vector<std::string_view> rows;

    int columns() const { return width / scale; }
    int row_count() const { return height / scale; }
};

bool is_header_line(std::string_view text)
{
    return text.find_first_of(" \t") != std::string_view::npos || text == "picture" || text == "scale" ||
           text == "colour";
}

std::optional<SourceError> read_size(int line, const std::vector<Word>& words, Picture& picture)
{
    if (picture.width != 0)
        return SourceError{line, 1, "a second 'picture' line"};
    return read_size_line(line, words, "picture", kMaxPictureSize, picture.width, picture.height);
}

std::optional<SourceError> read_scale(int line, const std::vector<Word>& words, Picture& picture)
{
    if (picture.has_scale)
        return SourceError{line, 1, "a second 'scale' line"};
    if (auto error = check_arguments(line, words, 1, "scale N"))
        return error;
    const auto scale = parse_number(words[1].text, 1, kMaxPictureSize);
    if (!scale)
        return SourceError{line, words[1].column, "scale must be a number from 1 to 4096"};
    if (picture.width % *scale != 0 || picture.height % *scale != 0)
        return SourceError{line, words[1].column,
                           "scale " + std::to_string(*scale) + " does not divide the picture size " +
                               std::to_string(picture.width) + "x" + std::to_string(picture.height)};
    picture.scale = *scale;
    picture.has_scale = true;
    return std::nullopt;
}

std::optional<int> hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

// "RRGGBB" as three channel values, or nothing if it is not exactly six hex digits.
std::optional<std::array<std::uint8_t, 3>> parse_rgb(std::string_view text)
{
    if (text.size() != 6)
        return std::nullopt;
    std::array<std::uint8_t, 3> rgb{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto high = hex_value(text[2 * i]);
        const auto low = hex_value(text[2 * i + 1]);
        if (!high || !low)
            return std::nullopt;
        rgb[i] = static_cast<std::uint8_t>(*high * 16 + *low);
    }
    return rgb;
}

std::optional<SourceError> read_colour(int line, const std::vector<Word>& words, Picture& picture)
{
    if (auto error = check_arguments(line, words, 2, "colour CHARACTER RRGGBB"))
        return error;
    const Word& key = words[1];
    if (key.text.size() != 1)
        return SourceError{line, key.column,
                           "a palette character is one character, not '" + std::string(key.text) + "'"};
    // '#' would read as a comment at the start of a row.
    const auto byte = static_cast<unsigned char>(key.text[0]);
    if (byte == '#' || byte <= 0x20 || byte >= 0x7F)
        return SourceError{line, key.column,
                           describe_char(key.text[0]) + " cannot be a palette character"};
    Swatch& swatch = picture.palette[byte];
    if (swatch.defined)
        return SourceError{line, key.column,
                           "palette character " + describe_char(key.text[0]) + " is already defined on line " +
                               std::to_string(swatch.line)};
    const auto rgb = parse_rgb(words[2].text);
    if (!rgb)
        return SourceError{line, words[2].column,
                           "colour must be six hex digits RRGGBB, not '" + std::string(words[2].text) + "'"};
    swatch = {true, line, (*rgb)[0], (*rgb)[1], (*rgb)[2]};
    return std::nullopt;
}

std::optional<SourceError> read_header_line(const Line& line, Picture& picture)
{
    const auto words = split_words(line.text);
    const std::string_view keyword = words.front().text;
    if (keyword != "picture" && picture.width == 0)
        return SourceError{line.number, 1, "the picture must start with 'picture WIDTH HEIGHT'"};
    if (keyword == "picture")
        return read_size(line.number, words, picture);
    if (keyword == "scale")
        return read_scale(line.number, words, picture);
    if (keyword == "colour")
        return read_colour(line.number, words, picture);
    return SourceError{line.number, words.front().column,
                       "unknown line '" + std::string(keyword) +
                           "': expected picture, scale or colour (rows hold no spaces)"};
}

std::optional<SourceError> read_row(const Line& line, Picture& picture)
{
    if (picture.width == 0)
        return SourceError{line.number, 1, "the picture must start with 'picture WIDTH HEIGHT'"};
    const int expected = picture.columns();
    if (static_cast<int>(picture.rows.size()) == picture.row_count())
        return SourceError{line.number, 1,
                           "too many rows: the picture has " + std::to_string(picture.row_count())};
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        if (!picture.palette[static_cast<unsigned char>(line.text[i])].defined)
            return SourceError{line.number, static_cast<int>(i) + 1,
                               "unknown palette character " + describe_char(line.text[i])};
    }
    const int length = static_cast<int>(line.text.size());
    if (length > expected)
        return SourceError{line.number, expected + 1,
                           "row is longer than " + std::to_string(expected) + " characters"};
    if (length < expected)
        return SourceError{line.number, length + 1,
                           "row has " + std::to_string(length) + " characters, expected " +
                               std::to_string(expected)};
    picture.rows.push_back(line.text);
    return std::nullopt;
}

// BITMAPFILEHEADER (14 bytes), BITMAPINFOHEADER (40 bytes), then the rows bottom-up in BGR order,
// each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> encode_bmp(const Picture& picture)
{
    constexpr std::uint32_t headers_size = 14 + 40;
    constexpr std::uint32_t pixels_per_metre = 2835;  // 72 dots per inch
    const auto stride = static_cast<std::uint32_t>((picture.width * 3 + 3) / 4 * 4);
    const std::uint32_t image_size = stride * static_cast<std::uint32_t>(picture.height);

    std::vector<std::uint8_t> out;
    out.reserve(headers_size + image_size);
    out.push_back('B');
    out.push_back('M');
    put_u32(out, headers_size + image_size);
    put_u32(out, 0);  // reserved
    put_u32(out, headers_size);

    put_u32(out, 40);
    put_i32(out, picture.width);
    put_i32(out, picture.height);  // positive: rows are stored bottom-up
    put_u16(out, 1);               // planes
    put_u16(out, 24);              // bits per pixel
    put_u32(out, 0);               // BI_RGB, uncompressed
    put_u32(out, image_size);
    put_u32(out, pixels_per_metre);
    put_u32(out, pixels_per_metre);
    put_u32(out, 0);  // colours used: no colour table
    put_u32(out, 0);  // important colours

    for (int y = picture.height - 1; y >= 0; --y) {
        const std::string_view row = picture.rows[static_cast<std::size_t>(y / picture.scale)];
        for (int x = 0; x < picture.width; ++x) {
            const Swatch& swatch =
                picture.palette[static_cast<unsigned char>(row[static_cast<std::size_t>(x / picture.scale)])];
            out.push_back(swatch.blue);
            out.push_back(swatch.green);
            out.push_back(swatch.red);
        }
        out.resize(out.size() + (stride - static_cast<std::uint32_t>(picture.width) * 3), 0);
    }
    return out;
}

}  // namespace

Compiled compile_picture(std::string_view source)
{
    const auto lines = split_lines(source);
    Picture picture;
    for (const Line& line : lines) {
        if (is_blank(line.text) || is_comment(line.text))
            continue;
        const bool header = picture.rows.empty() && is_header_line(line.text);
        if (auto error = header ? read_header_line(line, picture) : read_row(line, picture))
            return compile_error(error->line, error->column, std::move(error->message));
    }
    if (picture.width == 0)
        return compile_error(end_line(lines), 1, "missing 'picture WIDTH HEIGHT' line");
    if (static_cast<int>(picture.rows.size()) < picture.row_count())
        return compile_error(end_line(lines), 1,
                             "only " + std::to_string(picture.rows.size()) + " rows, expected " +
                                 std::to_string(picture.row_count()));
    Compiled result;
    result.bytes = encode_bmp(picture);
    return result;
}

}  // namespace assets
