// The folders are floors: a file includes its own folder and the floors below it, never one above,
// and the actors on one floor (enemies/, blocks/) never include each other. docs/architecture.md
// draws the same floors; a change there belongs here too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> floors = {
    {"formats", 0}, {"platform", 0}, {"render", 1}, {"core", 2},  {"world", 3},  {"enemies", 4},
    {"blocks", 4},  {"player", 5},   {"play", 6},   {"editor", 7}, {"shell", 8},
};

// The game's own includes of a file: the quoted paths whose first folder is a floor.
std::vector<std::string> game_includes(const fs::path& file) {
    std::vector<std::string> found;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::string directive = "#include \"";
        if (line.rfind(directive, 0) != 0) continue;
        const std::string target = line.substr(directive.size(), line.find('"', directive.size()) -
                                                                      directive.size());
        const std::string folder = target.substr(0, target.find('/'));
        if (floors.count(folder) != 0) found.push_back(target);
    }
    return found;
}

// What is wrong with a file of `folder` including `target`, or nothing.
std::string upward(const std::string& folder, const std::string& target) {
    const std::string other = target.substr(0, target.find('/'));
    if (other == folder) return "";
    if (floors.at(other) < floors.at(folder)) return "";
    return folder + "/ includes " + target + " from " +
           (floors.at(other) == floors.at(folder) ? "its own floor" : "a floor above");
}

TEST(Floors, TheRuleRefusesAnUpwardOrSidewaysInclude) {
    EXPECT_EQ(upward("world", "render/sprite.h"), "");
    EXPECT_EQ(upward("platform", "platform/sdl/window.h"), "");
    EXPECT_NE(upward("render", "shell/entry.h"), "");
    EXPECT_NE(upward("blocks", "enemies/enemy.h"), "");
    EXPECT_NE(upward("platform", "formats/text.h"), "");
    EXPECT_NE(upward("play", "editor/editor.h"), "");
}

TEST(Floors, EveryFileOfTheGameIncludesOnlyFloorsBelowIt) {
    const fs::path root = BRICKRUN_SOURCE_DIR;
    int files = 0;
    for (const auto& [folder, floor] : floors) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp") continue;
            ++files;
            for (const std::string& target : game_includes(entry.path()))
                EXPECT_EQ(upward(folder, target), "") << entry.path().string();
        }
    }
    EXPECT_GT(files, 100);  // the walk found the game, not an empty folder
}

}  // namespace
