// A folder of one test's own under the system's temporary folder, made afresh with a unique name
// and removed with everything in it when the test is done.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

struct ScratchFolder {
    std::filesystem::path path;

    ScratchFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "brickrun-XXXXXX").string();
        if (mkdtemp(name.data())) path = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};
