// Shared reading of the asset compiler's text sources.
#include "formats/text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <charconv>
#include <cstdio>

namespace formats {

Compiled compile_error(int line, int column, std::string message)
{
    Compiled result;
    result.error = SourceError{line, column, std::move(message)};
    return result;
}

std::vector<Line> split_lines(std::string_view source)
{
    std::vector<Line> lines;
    int number = 1;
    while (!source.empty()) {
        const std::size_t end = source.find('\n');
        std::string_view text = source.substr(0, end);
        // Files saved on Windows keep their "\r\n" line ends; the '\r' is not part of the line.
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        lines.push_back({number++, text});
        if (end == std::string_view::npos)
            break;
        source.remove_prefix(end + 1);
    }
    return lines;
}

int end_line(const std::vector<Line>& lines)
{
    return lines.empty() ? 1 : lines.back().number;
}

bool is_comment(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '#';
}

bool is_blank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::vector<Word> split_words(std::string_view line)
{
    std::vector<Word> words;
    std::size_t at = 0;
    while (true) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back({line.substr(start, end - start), static_cast<int>(start) + 1});
        at = end;
    }
    return words;
}

std::optional<SourceError> check_arguments(int line, const std::vector<Word>& words, std::size_t count,
                                           std::string_view usage)
{
    if (words.size() < count + 1)
        return SourceError{line, 1, "expected '" + std::string(usage) + "'"};
    if (words.size() > count + 1 && words[count + 1].text.front() != '#')
        return SourceError{line, words[count + 1].column,
                           "unexpected '" + std::string(words[count + 1].text) + "' after '" +
                               std::string(usage) + "'"};
    return std::nullopt;
}

std::optional<int> parse_number(std::string_view text, int low, int high)
{
    // from_chars alone would accept a leading '-' and stop quietly at the first non-digit.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::string describe_char(char c)
{
    if (c == ' ')
        return "' ' (a space)";
    if (c == '\t')
        return "'\\t' (a tab)";
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F)
        return std::string("'") + c + "'";
    char text[16];
    std::snprintf(text, sizeof text, "'\\x%02X'", static_cast<unsigned>(byte));
    return text;
}

std::optional<SourceError> read_size_line(int line, const std::vector<Word>& words, std::string_view what,
                                          int max_size, int& width, int& height)
{
    const std::string name(what);
    if (auto error = check_arguments(line, words, 2, name + " WIDTH HEIGHT"))
        return error;
    const auto w = parse_number(words[1].text, 1, max_size);
    const auto h = parse_number(words[2].text, 1, max_size);
    const std::string range = " must be a number from 1 to " + std::to_string(max_size);
    if (!w)
        return SourceError{line, words[1].column, name + " width" + range};
    if (!h)
        return SourceError{line, words[2].column, name + " height" + range};
    width = *w;
    height = *h;
    return std::nullopt;
}

std::optional<std::string> read_file(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string contents;
    char buffer[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    const int read_errno = errno;
    std::fclose(file);
    if (failed) {
        error = std::strerror(read_errno);
        return std::nullopt;
    }
    return contents;
}

}  // namespace formats
