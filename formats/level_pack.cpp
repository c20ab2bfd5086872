#include "formats/level_pack.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace formats {

namespace {

// A pack.txt lists at most 99 names and a few comments: anything far longer is not one.
constexpr std::uintmax_t kMaxPackListBytes = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool ends_with_folded(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    return std::equal(ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return a == std::tolower(static_cast<unsigned char>(b));
                      });
}

bool has_level_ending(std::string_view name) {
    return ends_with_folded(name, ".txt") || ends_with_folded(name, ".map");
}

bool is_pack_list(std::string_view name) {
    return name.size() == kPackListName.size() && ends_with_folded(name, kPackListName);
}

// The name in quotes, then the rest. (Built by appending: GCC 12 warns, wrongly, of overlapping
// copies in "'" + std::string(name).)
std::string quoted(std::string_view name, std::string_view rest) {
    std::string text = "'";
    text.append(name).append("'").append(rest);
    return text;
}

// What is wrong with a file name pack.txt gives, or "".
std::string name_problem(std::string_view name) {
    if (name.find_first_of("/\\") != std::string_view::npos)
        return quoted(name, " names a file in another folder: a pack's levels are files in its own "
                            "folder");
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return "a file name holds a control character";
    if (is_pack_list(name)) return "pack.txt cannot be a level of its pack";
    if (!has_level_ending(name))
        return quoted(name, " is not a level: a level file ends in .txt or .map");
    return "";
}

// "title: Rooftops" as ("title", "Rooftops"), when the line is a title or author line.
std::optional<std::string_view> field(std::string_view line, std::string_view key) {
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ':')
        return std::nullopt;
    return trimmed(line.substr(key.size() + 1));
}

}  // namespace

PackListRead read_pack_list(std::string_view text) {
    PackListRead read;
    bool has_title = false, has_author = false;
    const std::vector<Line> lines = split_lines(text);
    auto fail = [&read](int line, int column, std::string message) {
        read.error = SourceError{line, column, std::move(message)};
        return read;
    };
    for (const Line& line : lines) {
        if (is_blank(line.text) || is_comment(line.text)) continue;
        const std::string_view entry = trimmed(line.text);
        const int column = static_cast<int>(entry.data() - line.text.data()) + 1;
        const auto title = field(entry, "title");
        const auto author = field(entry, "author");
        if (title || author) {
            const std::string key = title ? "title" : "author";
            bool& seen = title ? has_title : has_author;
            if (seen) return fail(line.number, column, "a second " + key + " line");
            if (!read.list.files.empty())
                return fail(line.number, column, "the " + key + " comes before the first level");
            seen = true;
            (title ? read.list.title : read.list.author) = std::string(title ? *title : *author);
            continue;
        }
        if (std::string problem = name_problem(entry); !problem.empty())
            return fail(line.number, column, problem);
        if (static_cast<int>(read.list.files.size()) == kMaxPackLevels)
            return fail(line.number, column,
                        "more than " + std::to_string(kMaxPackLevels) + " levels: a pack holds at most " +
                            std::to_string(kMaxPackLevels));
        read.list.files.emplace_back(entry);
    }
    if (read.list.files.empty()) return fail(end_line(lines), 1, "pack.txt names no level");
    return read;
}

bool is_level_file_name(std::string_view name) {
    return !name.empty() && name.front() != '.' && has_level_ending(name) && !is_pack_list(name);
}

PackOrder order_pack(std::vector<std::string> names, const std::optional<std::string>& pack_txt) {
    PackOrder order;
    if (pack_txt) {
        PackListRead read = read_pack_list(*pack_txt);
        if (read.error) {
            order.source_error = read.error;
            return order;
        }
        std::sort(names.begin(), names.end());
        // The line of each name, to blame the first missing one.
        const std::vector<Line> lines = split_lines(*pack_txt);
        size_t next_line = 0;
        for (const std::string& file : read.list.files) {
            while (next_line < lines.size() && trimmed(lines[next_line].text) != file) ++next_line;
            if (std::binary_search(names.begin(), names.end(), file)) continue;
            const Line& line = lines[std::min(next_line, lines.size() - 1)];
            const int column =
                static_cast<int>(trimmed(line.text).data() - line.text.data()) + 1;
            order.source_error =
                SourceError{line.number, column, "no file '" + file + "' in the pack's folder"};
            return order;
        }
        order.list = std::move(read.list);
        return order;
    }
    std::erase_if(names, [](const std::string& name) { return !is_level_file_name(name); });
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        order.error = "no levels in it (.txt or .map files, or a pack.txt naming them)";
    } else if (static_cast<int>(names.size()) > kMaxPackLevels) {
        order.error = std::to_string(names.size()) + " levels, more than a pack holds (" +
                      std::to_string(kMaxPackLevels) + ")";
    } else {
        order.list.files = std::move(names);
    }
    return order;
}

PackOrder list_pack(const std::string& folder) {
    namespace fs = std::filesystem;
    PackOrder order;
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        order.error = "there is no such folder";
        return order;
    }
    std::vector<std::string> names;
    std::optional<std::string> pack_txt;
    fs::directory_iterator it(folder, code), end;
    for (; !code && it != end; it.increment(code)) {
        std::error_code kind;
        if (!it->is_regular_file(kind)) continue;
        names.push_back(it->path().filename().string());
    }
    if (code) {
        order.error = "cannot list it: " + code.message();
        return order;
    }
    if (std::find(names.begin(), names.end(), kPackListName) != names.end()) {
        const fs::path list = fs::path(folder) / kPackListName;
        const std::uintmax_t size = fs::file_size(list, code);
        if (!code && size > kMaxPackListBytes) {
            order.error = "pack.txt is longer than 1 MB: a list of 99 levels is not";
            return order;
        }
        std::string error;
        pack_txt = read_file(list.string(), error);
        if (!pack_txt) {
            order.error = "cannot read pack.txt: " + error;
            return order;
        }
    }
    return order_pack(std::move(names), pack_txt);
}

}  // namespace formats
