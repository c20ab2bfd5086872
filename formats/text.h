// Reading the text sources that the game and its asset compiler take: lines, words and numbers,
// and the result every compiler returns (the bytes to write, or the first error with its line and
// column).
//
// All three source formats follow the same conventions: a line whose first non-blank character is '#'
// is a comment, lines end with "\n" or "\r\n", and lines and columns count from 1 as an editor shows
// them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats {

// What is wrong with a text source, and where (1-based line and column).
struct SourceError {
    int line = 1;
    int column = 1;
    std::string message;
};

// A warning's place in the source and its words without the place, for an editor that marks it
// where it is.
struct SourceWarning {
    int line = 1;
    int column = 1;
    std::string message;
};

// The outcome of compiling one text source: the output file's bytes, or the error. Warnings do not
// stop the output from being written.
struct Compiled {
    std::vector<std::uint8_t> bytes;
    std::optional<SourceError> error;
    std::vector<std::string> warnings;  // as brickrun-assets prints them, with their place in words
    std::vector<SourceWarning> placed_warnings;  // the same warnings in the same order, placed
};

Compiled compile_error(int line, int column, std::string message);

struct Line {
    int number;             // 1-based
    std::string_view text;  // without the line end
};

// A final line end does not start another (empty) line.
std::vector<Line> split_lines(std::string_view source);

// The line number to blame for something missing at the end: the last line, or 1 for an empty file.
int end_line(const std::vector<Line>& lines);

bool is_comment(std::string_view line);
bool is_blank(std::string_view line);

struct Word {
    std::string_view text;
    int column;  // 1-based column of its first character
};

// Words separated by spaces or tabs.
std::vector<Word> split_words(std::string_view line);

// A keyword line such as "picture 16 32": the keyword and its arguments, optionally followed by a
// comment ("# ..."). Checks the argument count and returns the error to report, if any.
std::optional<SourceError> check_arguments(int line, const std::vector<Word>& words, std::size_t count,
                                           std::string_view usage);

// A plain decimal number made of digits only, within [low, high].
std::optional<int> parse_number(std::string_view text, int low, int high);

// A size line, "KEYWORD WIDTH HEIGHT" (as `picture 32 32` or `strip 648 12`), with both sizes from 1
// to max_size; `what` names the sizes in messages ("picture", "strip").
std::optional<SourceError> read_size_line(int line, const std::vector<Word>& words, std::string_view what,
                                          int max_size, int& width, int& height);

// The whole file, or nothing with the reason in `error`.
std::optional<std::string> read_file(const std::string& path, std::string& error);

// A character as a message shows it: 'x', ' ' (a space), '\t' (a tab), or '\x1B' for other bytes.
std::string describe_char(char c);

}  // namespace formats
