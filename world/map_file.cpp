#include "world/map_file.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <vector>

const char* const level_paths[4] = {"Maps\\level1.map", "Maps//level2.map", "Maps//level3.map",
                                    "Maps//level1.map"};

namespace {

int32_t decode_int32(const unsigned char* b) {
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
}

bool read_int32(std::FILE* file, int32_t& value) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, file) != 4) return false;
    value = decode_int32(b);
    return true;
}

// How many whole cells follow the sizes, by the file's length; leaves the file at the first cell.
size_t cells_in_file(std::FILE* file) {
    long length = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    if (length < 8 || std::fseek(file, 8, SEEK_SET) != 0) return 0;
    return static_cast<size_t>(length - 8) / 4;
}

}  // namespace

std::string map_size_problem(int32_t width, int32_t height) {
    std::string sizes = std::to_string(width) + " x " + std::to_string(height);
    if (width <= 0 || height <= 0) return "its sizes " + sizes + " hold no cells";
    if (height > max_map_rows) return "its " + std::to_string(height) + " rows are more than " +
                                      std::to_string(max_map_rows);
    if (width > max_map_columns)
        return "its " + std::to_string(width) + " columns are more than " +
               std::to_string(max_map_columns);
    if (static_cast<int64_t>(width) * height > max_map_cells)
        return "its sizes " + sizes + " are more than " + std::to_string(max_map_cells) + " cells";
    return "";
}

bool read_map(const char* game_path, TileMap& map, std::string& error) {
    if (std::strlen(game_path) > sizeof map.path - 1) {
        error = std::string(game_path) + ": the path is longer than 63 characters";
        return false;
    }
    // A copy, since reading a level again passes the map's own path, which is overwritten below.
    char path[sizeof map.path] = {};
    std::strcpy(path, game_path);
    std::FILE* file = platform::open_file(path, "rb");
    if (!file) {
        error = std::string(path) + ": cannot open the map file";
        return false;
    }
    int32_t width = 0, height = 0;
    bool ok = read_int32(file, width) && read_int32(file, height);
    if (!ok) error = std::string(path) + ": too short to hold the map's sizes";
    std::string problem = ok ? map_size_problem(width, height) : "";
    if (!problem.empty()) {
        error = std::string(path) + ": " + problem;
        ok = false;
    }
    std::shared_ptr<int32_t[]> cells;
    if (ok) {
        // The length is measured before any memory is taken, so a short file cannot claim 40 MB;
        // then all cells in one read, decoded from little-endian whatever the machine.
        size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        size_t held = cells_in_file(file);
        std::vector<unsigned char> bytes;
        if (held >= count) {
            bytes.resize(count * 4);
            held = std::fread(bytes.data(), 1, bytes.size(), file) / 4;
        }
        if (held < count) {
            error = std::string(path) + ": the file holds " + std::to_string(held) +
                    " cells but its sizes say " + std::to_string(count);
            ok = false;
        } else {
            cells = std::shared_ptr<int32_t[]>(new int32_t[count]);
            for (size_t i = 0; i < count; ++i) cells[i] = decode_int32(&bytes[4 * i]);
        }
    }
    std::fclose(file);
    if (!ok) return false;

    std::memcpy(map.path, path, sizeof map.path);
    map.map_cells = std::move(cells);
    map.map_width = width;
    map.map_height = height;
    return true;
}

bool map_from_bytes(std::span<const uint8_t> bytes, TileMap& map, std::string& error) {
    if (bytes.size() < 8) {
        error = "too short to hold the map's sizes";
        return false;
    }
    const int32_t width = decode_int32(bytes.data()), height = decode_int32(bytes.data() + 4);
    if (std::string problem = map_size_problem(width, height); !problem.empty()) {
        error = problem;
        return false;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t held = (bytes.size() - 8) / 4;
    if (held < count) {
        error = "the file holds " + std::to_string(held) + " cells but its sizes say " +
                std::to_string(count);
        return false;
    }
    std::shared_ptr<int32_t[]> cells(new int32_t[count]);
    for (size_t i = 0; i < count; ++i) cells[i] = decode_int32(&bytes[8 + 4 * i]);
    map.map_cells = std::move(cells);
    map.map_width = width;
    map.map_height = height;
    return true;
}

void install_map(const TileMap& fresh) {
    if (&fresh == &current_map) return;  // installing the map in play again changes nothing
    std::memcpy(current_map.path, fresh.path, sizeof current_map.path);
    current_map.map_cells = fresh.map_cells;
    current_map.map_width = fresh.map_width;
    current_map.map_height = fresh.map_height;
}
