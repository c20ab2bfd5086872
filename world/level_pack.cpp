#include "world/level_pack.h"

#include "formats/level_pack.h"
#include "formats/level_text.h"
#include "world/map_file.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>

LevelPack level_pack;
LevelSource level_source;

namespace {

namespace fs = std::filesystem;

// The largest map file (10,000,000 cells) is 40 MB; its text a quarter of that, and comments.
constexpr std::uintmax_t max_level_file_bytes = std::uintmax_t{64} << 20;

// A compiled map by its name (.map in any case); any other level file is text.
bool is_map_file(const std::string& path) {
    std::string ending = fs::path(path).extension().string();
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".map";
}

// One level of a pack, read and compiled; false with one line in error.
bool read_pack_level(const std::string& path, PackLevel& level, std::string& error) {
    std::error_code code;
    const std::uintmax_t size = fs::file_size(path, code);
    if (code) {
        error = path + ": cannot read: " + code.message();
        return false;
    }
    if (size > max_level_file_bytes) {
        error = path + ": " + std::to_string(size) + " bytes, more than any level of 10,000,000 "
                "cells needs";
        return false;
    }
    std::string why;
    const std::optional<std::string> bytes = formats::read_file(path, why);
    if (!bytes) {
        error = path + ": cannot read: " + why;
        return false;
    }
    std::span<const uint8_t> map(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    formats::Compiled compiled;
    if (!is_map_file(path)) {
        compiled = formats::compile_level(*bytes);
        if (compiled.error) {
            const formats::SourceError& e = *compiled.error;
            error = path + ":" + std::to_string(e.line) + ":" + std::to_string(e.column) + ": " +
                    e.message;
            return false;
        }
        map = compiled.bytes;
    }
    if (!map_from_bytes(map, level.map, why)) {
        error = path + ": " + why;
        return false;
    }
    level.file = path;
    return true;
}

}  // namespace

int32_t level_count() {
    return level_pack.levels.empty() ? 3 : static_cast<int32_t>(level_pack.levels.size());
}

bool load_level_pack(const std::string& folder, std::string& error) {
    const formats::PackOrder order = formats::list_pack(folder);
    if (order.source_error) {
        const formats::SourceError& e = *order.source_error;
        error = (fs::path(folder) / formats::kPackListName).string() + ":" +
                std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.message;
        return false;
    }
    if (order.error) {
        error = folder + ": " + *order.error;
        return false;
    }
    LevelPack pack{folder, order.list.title, order.list.author, {}};
    pack.levels.resize(order.list.files.size());
    for (size_t i = 0; i < pack.levels.size(); ++i) {
        const std::string path = (fs::path(folder) / order.list.files[i]).string();
        if (!read_pack_level(path, pack.levels[i], error)) return false;
    }
    level_pack = std::move(pack);
    return true;
}

bool load_level_file(const std::string& path, std::string& error) {
    LevelPack pack{fs::path(path).parent_path().string(), "", "", std::vector<PackLevel>(1)};
    if (!read_pack_level(path, pack.levels[0], error)) return false;
    level_pack = std::move(pack);
    return true;
}

void use_built_in_levels() { level_pack = LevelPack{}; }

std::string player_levels_folder() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    };
#ifdef _WIN32
    const std::string app_data = variable("APPDATA");
    return app_data.empty() ? "" : app_data + "\\brickrun\\levels";
#else
    // A relative XDG_DATA_HOME counts as unset, as desktops treat it.
    const std::string data_home = variable("XDG_DATA_HOME");
    if (!data_home.empty() && data_home.front() == '/') return data_home + "/brickrun/levels";
    const std::string home = variable("HOME");
    return home.empty() ? "" : home + "/.local/share/brickrun/levels";
#endif
}
