#include "shell/data_search.h"

#include "platform/platform.h"

#include <vector>

namespace {

// A folder holds the data when it has all three; what is inside them the game checks itself.
bool holds_data(const std::string& folder) {
    const std::string at = folder.empty() ? "" : folder + "/";
    return platform::path_kind(at + "Graphics") == platform::PathKind::folder &&
           platform::path_kind(at + "Maps") == platform::PathKind::folder &&
           platform::path_kind(at + "font.raw") == platform::PathKind::file;
}

}  // namespace

bool use_data_folder(const std::string& given, const std::string& program_folder,
                     std::string& error) {
    if (!given.empty()) {
        if (platform::path_kind(given) != platform::PathKind::folder) {
            error = "brickrun: --data " + given + ": there is no such folder";
            return false;
        }
        platform::set_data_folder(given);
        return true;
    }
    // "" is the working folder: the game's own file names then stand as they are.
    std::vector<std::string> places = {""};
    if (!program_folder.empty()) {
        places.push_back(program_folder + "../share/brickrun");
        places.push_back(program_folder + "data");
    }
    std::string tried;
    for (const std::string& place : places) {
        if (holds_data(place)) {
            platform::set_data_folder(place);
            return true;
        }
        tried += tried.empty() ? "the current folder" : ", " + place;
    }
    error = "brickrun: no game data (Graphics/, Maps/ and font.raw) in " + tried +
            "; name its folder with --data DIR";
    return false;
}
