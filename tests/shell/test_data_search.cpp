// Where the game finds its data: the working folder first, then the installed place beside the
// program, then the build's data folder beside it, or the folder --data names.
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/data_search.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void make_data(const fs::path& at) {
    fs::create_directories(at / "Graphics");
    fs::create_directories(at / "Maps");
    std::ofstream(at / "font.raw") << "x";
}

// Which folder the game's file names are now read from: open "font.raw" and see whose it is.
std::string reads_from() {
    std::FILE* file = platform::open_file("font.raw", "rb");
    if (!file) return platform::last_error();
    std::fclose(file);
    return "found";
}

}  // namespace

TEST(DataSearch, TakesTheFirstPlaceThatHoldsTheDataAndNamesEveryPlaceWhenNoneDoes) {
    const fs::path here = fs::current_path();
    const fs::path root = scratch_files::scratch("places");
    fs::remove_all(root);
    const fs::path work = root / "work", bin = root / "prefix" / "bin";
    fs::create_directories(work);
    fs::create_directories(bin);
    fs::current_path(work);
    const std::string program = bin.string() + "/";
    std::string error;

    // Nothing anywhere: one line naming all three places.
    EXPECT_FALSE(use_data_folder("", program, error));
    EXPECT_EQ(error, "brickrun: no game data (Graphics/, Maps/ and font.raw) in the current folder, " +
                         program + "../share/brickrun, " + program +
                         "data; name its folder with --data DIR");

    // The build's layout, data/ beside the program.
    make_data(bin / "data");
    ASSERT_TRUE(use_data_folder("", program, error)) << error;
    EXPECT_EQ(reads_from(), "found");
    std::remove((bin / "data" / "font.raw").string().c_str());
    EXPECT_EQ(reads_from(), "cannot open " + program + "data/font.raw");

    // The installed place comes before it; a place missing one of the three is passed over.
    make_data(root / "prefix" / "share" / "brickrun");
    ASSERT_TRUE(use_data_folder("", program, error)) << error;
    std::remove((root / "prefix" / "share" / "brickrun" / "font.raw").string().c_str());
    EXPECT_EQ(reads_from(), "cannot open " + program + "../share/brickrun/font.raw");

    // The working folder comes first, and the game's own names then stand as they are.
    make_data(work);
    fs::remove(work / "font.raw");
    fs::create_directories(work / "font.raw");  // a folder is not the font file
    EXPECT_FALSE(use_data_folder("", program, error));
    fs::remove(work / "font.raw");
    make_data(work);
    ASSERT_TRUE(use_data_folder("", program, error)) << error;
    fs::remove(work / "font.raw");
    EXPECT_EQ(reads_from(), "cannot open font.raw");

    // --data is taken as it is, holding the data or not; it must be a folder.
    ASSERT_TRUE(use_data_folder(root.string(), program, error)) << error;
    EXPECT_EQ(reads_from(), "cannot open " + root.string() + "/font.raw");
    EXPECT_FALSE(use_data_folder((root / "none").string(), program, error));
    EXPECT_EQ(error, "brickrun: --data " + (root / "none").string() + ": there is no such folder");

    fs::current_path(here);
    platform::headless::reset();
    fs::remove_all(root);
}

// Unzipped on Windows the data sits beside the programs: the working folder, then the program's
// own. The line for a player who double-clicked names the folders as Windows writes them, and no
// --data, no ../share.
TEST(DataSearch, UnzippedTheProgramsOwnFolderIsSearchedAndNamedInItsOwnTerms) {
    const fs::path here = fs::current_path();
    const fs::path root = scratch_files::scratch("zip");
    fs::remove_all(root);
    const fs::path work = root / "work", unzipped = root / "brickrun-1.0.0-windows";
    fs::create_directories(work);
    fs::create_directories(unzipped);
    fs::current_path(work);
    const std::string program = unzipped.string() + "/";
    std::string error;

    make_data(root / "share" / "brickrun");  // a Linux install's place is no place here
    make_data(unzipped / "data");
    EXPECT_FALSE(use_data_folder("", program, error, DataLayout::unzipped));
    EXPECT_EQ(error, "brickrun: the game's data (the folders Graphics and Maps and the file "
                     "font.raw) is not in the folder it was started in (" + work.string() +
                         ") nor in its own folder (" + unzipped.string() +
                         "). Keep the programs beside them, as they come in the zip.");
    EXPECT_FALSE(use_data_folder("", "C:\\Games\\brickrun\\", error, DataLayout::unzipped));
    EXPECT_NE(error.find("nor in its own folder (C:\\Games\\brickrun)."), std::string::npos) << error;
    EXPECT_FALSE(use_data_folder("", work.string() + "/", error, DataLayout::unzipped));
    EXPECT_EQ(error.find("nor in"), std::string::npos) << "one folder is named once: " << error;

    make_data(unzipped);
    ASSERT_TRUE(use_data_folder("", program, error, DataLayout::unzipped)) << error;
    fs::remove(unzipped / "font.raw");
    EXPECT_EQ(reads_from(), "cannot open " + unzipped.string() + "/font.raw");
    make_data(unzipped);
    make_data(work);
    ASSERT_TRUE(use_data_folder("", program, error, DataLayout::unzipped)) << error;
    fs::remove(work / "font.raw");
    EXPECT_EQ(reads_from(), "cannot open font.raw");  // the working folder comes first

    fs::current_path(here);
    platform::headless::reset();
    fs::remove_all(root);
}
