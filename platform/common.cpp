// Error text and file opening, shared by both backends.
#include "platform/platform.h"

#include <sys/stat.h>

#include <utility>

namespace platform {

namespace {
std::string error_text;
}

const std::string& last_error() { return error_text; }

void set_error(std::string text) { error_text = std::move(text); }

std::FILE* open_file(const char* game_path, const char* mode) {
    std::string path = game_path;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        set_error(std::string("cannot open ") + path);
        return nullptr;
    }
    // A folder opens for reading too, and then reads as nothing or as an absurd length.
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        set_error(std::string("cannot open ") + path + ": it is a folder");
        return nullptr;
    }
    return file;
}

}  // namespace platform
