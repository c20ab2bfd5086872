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

// A folder as Explorer shows it: without the separator at its end, but for a drive's root (C:\).
std::string shown(std::string folder) {
    if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
        folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

std::string not_found_installed(const std::vector<std::string>& places) {
    std::string tried;
    for (const std::string& place : places)
        tried += tried.empty() ? "the current folder" : ", " + place;
    return "brickrun: no game data (Graphics/, Maps/ and font.raw) in " + tried +
           "; name its folder with --data DIR";
}

std::string not_found_unzipped(const std::string& program_folder) {
    const std::string started = shown(platform::working_folder());
    const std::string own = shown(program_folder);
    std::string where = "the folder it was started in (" + started + ")";
    if (!own.empty() && own != started) where += " nor in its own folder (" + own + ")";
    return "brickrun: the game's data (the folders Graphics and Maps and the file font.raw) is "
           "not in " + where + ". Keep the programs beside them, as they come in the zip.";
}

}  // namespace

bool use_data_folder(const std::string& given, const std::string& program_folder,
                     std::string& error, DataLayout layout) {
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
    if (!program_folder.empty() && layout == DataLayout::installed) {
        places.push_back(program_folder + "../share/brickrun");
        places.push_back(program_folder + "data");
    }
    if (!program_folder.empty() && layout == DataLayout::unzipped)
        places.push_back(shown(program_folder));
    for (const std::string& place : places) {
        if (holds_data(place)) {
            platform::set_data_folder(place);
            return true;
        }
    }
    error = layout == DataLayout::installed ? not_found_installed(places)
                                            : not_found_unzipped(program_folder);
    return false;
}
