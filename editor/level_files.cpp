// The level document's files: the level itself, saved so that a failure never costs the old file,
// and its recovery file, which proves it is whole before anything of it is used.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "editor/level_document.h"

namespace editor {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRecoveryMark = "# brickrun recovery ";

// The whole of a regular file of at most `limit` bytes.
std::optional<std::string> read_limited(const std::string& path, std::size_t limit, std::string& error)
{
    std::error_code code;
    const fs::file_status status = fs::status(path, code);
    if (code) {
        error = "cannot read " + path + ": " + code.message();
        return std::nullopt;
    }
    if (!fs::is_regular_file(status)) {
        error = "cannot read " + path + ": not a file";
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    // Read by pieces rather than trusting the size the folder gives: the file may grow meanwhile.
    std::string contents;
    char buffer[1 << 16];
    std::size_t count = 0;
    while (contents.size() <= limit && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    const int read_errno = errno;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path + ": " + std::strerror(read_errno);
        return std::nullopt;
    }
    if (contents.size() > limit) {
        error = "cannot open " + path + ": it is over " + std::to_string(limit >> 20) +
                " MB, far more than any level";
        return std::nullopt;
    }
    return contents;
}

// Writes `contents` to a temporary beside `path` and renames it over `path`, so `path` is at every
// moment either its old self or wholly the new one. Missing folders on the way are made.
bool write_atomically(const std::string& path, std::string_view contents, std::string& error)
{
    std::error_code code;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, code)) {
        fs::create_directories(parent, code);
        if (code) {
            error = "cannot make the folder " + parent.string() + ": " + code.message();
            return false;
        }
    }
    const std::string temporary = path + ".saving";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    written = std::fflush(file) == 0 && written;
    const int write_errno = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        error = "cannot write " + temporary + ": " + std::strerror(write_errno);
        fs::remove(temporary, code);
        return false;
    }
    // The saved file keeps the permissions the maker gave the old one.
    const fs::file_status old = fs::status(path, code);
    if (!code && fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), code);
    fs::rename(temporary, path, code);
    if (code) {
        error = "cannot replace " + path + ": " + code.message();
        fs::remove(temporary, code);
        return false;
    }
    return true;
}

// FNV-1a: any cut or changed byte shows, and it needs no library.
std::uint64_t checksum(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}

std::string recovery_mark(std::string_view text)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(checksum(text)));
    return std::string(kRecoveryMark) + std::to_string(text.size()) + " " + hex + "\n";
}

// The mark goes on a line of its own, after a line end added only when the text lacks one.
std::string_view separator(std::string_view text)
{
    return text.empty() || text.back() == '\n' ? "" : "\n";
}

// The level's text in a whole recovery file, or nothing with the reason.
std::optional<std::string_view> recovered_text(std::string_view contents, std::string& why)
{
    if (contents.empty() || contents.back() != '\n') {
        why = "cut short: it does not end with its recovery line";
        return std::nullopt;
    }
    const std::size_t last = contents.find_last_of('\n', contents.size() - 2);
    const std::size_t mark_at = last == std::string_view::npos ? 0 : last + 1;
    const std::string_view mark = contents.substr(mark_at);
    if (!mark.starts_with(kRecoveryMark)) {
        why = "cut short or damaged: its last line is not its recovery line";
        return std::nullopt;
    }
    std::size_t bytes = 0;
    const std::string_view count = mark.substr(kRecoveryMark.size(), mark.find(' ', kRecoveryMark.size()) -
                                                                         kRecoveryMark.size());
    for (const char c : count) {
        if (c < '0' || c > '9' || bytes > kMaxLevelFileBytes) {
            why = "damaged: its recovery line does not give the level's size";
            return std::nullopt;
        }
        bytes = bytes * 10 + static_cast<std::size_t>(c - '0');
    }
    if (count.empty() || bytes > mark_at) {
        why = "cut short: its recovery line counts " + (count.empty() ? std::string("no") : std::string(count)) +
              " bytes of level, it holds " + std::to_string(mark_at);
        return std::nullopt;
    }
    const std::string_view text = contents.substr(0, bytes);
    if (text.size() + separator(text).size() != mark_at) {
        why = "damaged: it holds " + std::to_string(mark_at) + " bytes of level, its recovery line says " +
              std::to_string(bytes);
        return std::nullopt;
    }
    if (mark != recovery_mark(text)) {
        why = "damaged: its text does not match its recovery line's checksum";
        return std::nullopt;
    }
    return text;
}

}  // namespace

bool save_level(const std::string& path, const LevelDocument& doc, std::string& error)
{
    if (!write_atomically(path, doc.view(), error)) {
        error = "not saved: " + error;
        return false;
    }
    remove_recovery(path);
    return true;
}

std::optional<LevelDocument> open_level(const std::string& path, std::string& error)
{
    const auto contents = read_limited(path, kMaxLevelFileBytes, error);
    if (!contents)
        return std::nullopt;
    const std::size_t nul = contents->find('\0');
    if (nul != std::string::npos) {
        error = "cannot open " + path + ": not a level's text (a NUL byte at byte " + std::to_string(nul) + ")";
        return std::nullopt;
    }
    return LevelDocument::from_text(*contents);
}

std::string recovery_path(const std::string& level_path)
{
    return level_path + ".recover";
}

bool write_recovery(const std::string& level_path, const LevelDocument& doc, std::string& error)
{
    const std::string_view text = doc.view();
    std::string contents;
    contents.reserve(text.size() + 64);
    contents.append(text).append(separator(text)).append(recovery_mark(text));
    return write_atomically(recovery_path(level_path), contents, error);
}

// A save removes the recovery file, so one that is there and as new as the level holds later work;
// on a file system with a coarse clock both may carry the same time.
bool recovery_is_newer(const std::string& level_path)
{
    std::error_code code;
    const auto recovered = fs::last_write_time(recovery_path(level_path), code);
    if (code)
        return false;
    const auto saved = fs::last_write_time(level_path, code);
    return code || recovered >= saved;
}

std::optional<LevelDocument> read_recovery(const std::string& level_path, std::string& error)
{
    const std::string path = recovery_path(level_path);
    const auto contents = read_limited(path, kMaxLevelFileBytes + kRecoveryMark.size() + 64, error);
    if (!contents)
        return std::nullopt;
    std::string why;
    const auto text = recovered_text(*contents, why);
    if (!text) {
        error = "cannot recover from " + path + ": " + why;
        return std::nullopt;
    }
    LevelDocument doc = LevelDocument::from_text(*text);
    doc.mark_unsaved();
    return doc;
}

void remove_recovery(const std::string& level_path)
{
    std::error_code ignored;
    fs::remove(recovery_path(level_path), ignored);
}

}  // namespace editor
