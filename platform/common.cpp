// Error text, the data folder and file opening, shared by every backend.
#include "platform/platform.h"

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#else
#include <unistd.h>
#endif

#include <utility>

namespace platform {

namespace {
std::string error_text;
std::string data_folder;
}  // namespace

const std::string& last_error() { return error_text; }

void set_error(std::string text) { error_text = std::move(text); }

void set_data_folder(std::string folder) { data_folder = std::move(folder); }

std::string working_folder() {
    char folder[4096];
#ifdef _WIN32
    return _getcwd(folder, sizeof folder) ? folder : "";
#else
    return getcwd(folder, sizeof folder) ? folder : "";
#endif
}

PathKind path_kind(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return PathKind::missing;
    return (status.st_mode & S_IFMT) == S_IFDIR ? PathKind::folder : PathKind::file;
}

std::string data_path(const std::string& game_path) {
    std::string path = game_path;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return data_folder.empty() ? path : data_folder + "/" + path;
}

std::FILE* open_file(const char* game_path, const char* mode) {
    const std::string path = data_path(game_path);
    // A folder opens for reading on Linux, and then reads as nothing or as an absurd length; on
    // Windows it does not open at all. Either way it is named for what it is.
    if (path_kind(path) == PathKind::folder) {
        set_error(std::string("cannot open ") + path + ": it is a folder");
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        set_error(std::string("cannot open ") + path);
        return nullptr;
    }
    return file;
}

}  // namespace platform
