// The font: 96 text glyphs compiled to the raw glyph strip the game loads and measures.
//
// Outside a glyph, blank lines and comments are skipped. The `height` lines after "glyph N" are taken
// as they are, since '#' is ink there and not a comment.
#include "tools/assets/font.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace assets {
namespace {

struct Glyph {
    int code = 0;
    int line = 0;  // the "glyph N" line
    int width = 0;
    std::vector<std::string_view> rows;
};

struct Font {
    int width = 0;  // strip size in pixels; 0 until the strip line has been read
    int height = 0;
    int columns_used = 0;  // so far, counting each glyph's blank and separator columns
    std::vector<Glyph> glyphs;

    int next_code() const { return kFirstGlyph + static_cast<int>(glyphs.size()); }
};

constexpr std::uint8_t kSeparator = 255;

std::uint8_t grey(char pixel)
{
    return pixel == '#' ? 255 : pixel == '+' ? 128 : 0;
}

std::optional<SourceError> read_strip(int line, const std::vector<Word>& words, Font& font)
{
    if (font.width != 0)
        return SourceError{line, 1, "a second 'strip' line"};
    return read_size_line(line, words, "strip", kMaxStripSize, font.width, font.height);
}

std::optional<SourceError> read_glyph_code(int line, const std::vector<Word>& words, const Font& font,
                                           Glyph& glyph)
{
    if (font.width == 0)
        return SourceError{line, 1, "'strip WIDTH HEIGHT' must come before the first glyph"};
    if (auto error = check_arguments(line, words, 1, "glyph CODE"))
        return error;
    if (font.next_code() > kLastGlyph)
        return SourceError{line, 1, "all glyphs up to 127 are already defined"};
    const auto code = parse_number(words[1].text, kFirstGlyph, kLastGlyph);
    if (!code)
        return SourceError{line, words[1].column, "glyph code must be a number from 32 to 127"};
    if (*code != font.next_code())
        return SourceError{line, words[1].column,
                           "glyph " + std::to_string(*code) + " is out of order: expected glyph " +
                               std::to_string(font.next_code())};
    glyph.code = *code;
    glyph.line = line;
    return std::nullopt;
}

std::optional<SourceError> read_glyph_row(const Line& line, Glyph& glyph)
{
    const bool top = glyph.rows.empty();
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        const char pixel = line.text[i];
        const int column = static_cast<int>(i) + 1;
        if (pixel != '.' && pixel != '+' && pixel != '#')
            return SourceError{line.number, column,
                               "unknown glyph pixel " + describe_char(pixel) + " (use '.', '+' or '#')"};
        if (top && pixel == '#')
            return SourceError{line.number, column,
                               "'#' in a glyph's top row would read as a separator; use '+' there"};
    }
    const int width = static_cast<int>(line.text.size());
    if (top && width == 0)
        return SourceError{line.number, 1, "glyph " + std::to_string(glyph.code) + " has an empty top row"};
    if (!top && width != glyph.width)
        return SourceError{line.number, 1,
                           "glyph row has " + std::to_string(width) + " columns, its top row has " +
                               std::to_string(glyph.width)};
    glyph.width = width;
    glyph.rows.push_back(line.text);
    return std::nullopt;
}

// Reads the `height` rows that follow a glyph's line, from lines[next] on, and moves `next` past them.
std::optional<SourceError> read_glyph_rows(const std::vector<Line>& lines, std::size_t& next, const Font& font,
                                           Glyph& glyph)
{
    const auto too_few = [&](int line) {
        return SourceError{line, 1,
                           "glyph " + std::to_string(glyph.code) + " has only " +
                               std::to_string(glyph.rows.size()) + " of its " + std::to_string(font.height) + " rows"};
    };
    while (static_cast<int>(glyph.rows.size()) < font.height) {
        if (next == lines.size())
            return too_few(end_line(lines));
        const Line& line = lines[next++];
        if (line.text.starts_with("glyph"))
            return too_few(line.number);
        if (auto error = read_glyph_row(line, glyph))
            return error;
    }
    return std::nullopt;
}

std::optional<SourceError> add_glyph(Glyph glyph, Font& font)
{
    const int needed = font.columns_used + glyph.width + 2;
    if (needed > font.width)
        return SourceError{glyph.line, 1,
                           "glyph " + std::to_string(glyph.code) + " does not fit: the glyphs up to it need " +
                               std::to_string(needed) + " columns, the strip is " + std::to_string(font.width) +
                               " wide"};
    font.columns_used = needed;
    font.glyphs.push_back(std::move(glyph));
    return std::nullopt;
}

std::vector<std::uint8_t> encode_strip(const Font& font)
{
    const auto width = static_cast<std::size_t>(font.width);
    std::vector<std::uint8_t> greys(width * static_cast<std::size_t>(font.height), 0);
    std::size_t column = 0;
    for (const Glyph& glyph : font.glyphs) {
        ++column;  // the blank column before each glyph
        for (std::size_t y = 0; y < glyph.rows.size(); ++y) {
            for (std::size_t x = 0; x < glyph.rows[y].size(); ++x)
                greys[y * width + column + x] = grey(glyph.rows[y][x]);
        }
        column += static_cast<std::size_t>(glyph.width);
        greys[column++] = kSeparator;
    }
    // The game reads only the third byte of each pixel; all three carry the grey so the strip views right.
    std::vector<std::uint8_t> out;
    out.reserve(greys.size() * 3);
    for (const std::uint8_t g : greys)
        out.insert(out.end(), {g, g, g});
    return out;
}

}  // namespace

Compiled compile_font(std::string_view source)
{
    const auto lines = split_lines(source);
    Font font;
    std::size_t next = 0;
    while (next < lines.size()) {
        const Line& line = lines[next++];
        if (is_blank(line.text) || is_comment(line.text))
            continue;
        const auto words = split_words(line.text);
        std::optional<SourceError> error;
        if (words.front().text == "strip") {
            error = read_strip(line.number, words, font);
        } else if (words.front().text == "glyph") {
            Glyph glyph;
            error = read_glyph_code(line.number, words, font, glyph);
            if (!error)
                error = read_glyph_rows(lines, next, font, glyph);
            if (!error)
                error = add_glyph(std::move(glyph), font);
        } else {
            error = SourceError{line.number, words.front().column,
                                "expected 'strip WIDTH HEIGHT' or 'glyph CODE', not '" +
                                    std::string(words.front().text) + "'"};
        }
        if (error)
            return compile_error(error->line, error->column, std::move(error->message));
    }
    if (font.width == 0)
        return compile_error(end_line(lines), 1, "missing 'strip WIDTH HEIGHT' line");
    if (font.next_code() <= kLastGlyph) {
        const std::string first = std::to_string(font.next_code());
        return compile_error(end_line(lines), 1,
                             font.next_code() == kLastGlyph ? "glyph 127 is missing"
                                                            : "glyphs " + first + " to 127 are missing");
    }
    Compiled result;
    result.bytes = encode_strip(font);
    return result;
}

}  // namespace assets
