// The level's file and its recovery file: saves that never cost the old file, refusals in one line,
// and recovery files that are used whole or not at all.
#include "editor/level_document.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using editor::LevelDocument;
using scratch_files::scratch;
using scratch_files::slurp;

void put(const fs::path& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

bool one_line(const std::string& error)
{
    return !error.empty() && error.find('\n') == std::string::npos;
}

// Nothing but the files named is left in the folder (no temporary beside them).
std::vector<std::string> names_in(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(LevelFiles, SavesIntoNewFoldersAndOpensWhatItSaved)
{
    const fs::path folder = scratch("levels");
    const std::string path = (folder / "mine" / "level.txt").string();
    LevelDocument doc = LevelDocument::fresh();
    doc.set(10, 10, 'B');
    std::string error;
    ASSERT_TRUE(editor::save_level(path, doc, error)) << error;
    EXPECT_EQ(slurp(path), doc.text());

    ASSERT_TRUE(editor::write_recovery(path, doc, error)) << error;
    doc.set(11, 10, 'B');
    ASSERT_TRUE(editor::save_level(path, doc, error)) << error;
    EXPECT_EQ(slurp(path), doc.text());
    // The save holds everything the recovery file did, so it goes.
    EXPECT_EQ(names_in(folder / "mine"), std::vector<std::string>{"level.txt"});

    const auto opened = editor::open_level(path, error);
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(opened->text(), doc.text());
    EXPECT_FALSE(opened->unsaved());

    // Work in progress opens: any text, however far from a level.
    put(scratch("notes.txt"), "just some words\r\nand more");
    const auto notes = editor::open_level(scratch("notes.txt").string(), error);
    ASSERT_TRUE(notes) << error;
    EXPECT_EQ(notes->text(), "just some words\r\nand more");
}

TEST(LevelFiles, AFailedSaveKeepsTheOldFile)
{
    const fs::path folder = scratch("levels");
    fs::create_directories(folder);
    const std::string path = (folder / "level.txt").string();
    put(path, "the old level\n");
    std::string error;

    // The disk fills up in the middle of the write.
    rlimit old_limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 100;
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = editor::save_level(path, LevelDocument::fresh(), error);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(one_line(error)) << error;
    EXPECT_EQ(slurp(path), "the old level\n");
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"level.txt"});

    // A folder on the way that is a file.
    error.clear();
    EXPECT_FALSE(editor::save_level(path + "/inside.txt", LevelDocument::fresh(), error));
    EXPECT_TRUE(one_line(error)) << error;
    EXPECT_EQ(slurp(path), "the old level\n");

    // A folder where the level should be.
    fs::create_directories(folder / "taken" / "sub");
    error.clear();
    EXPECT_FALSE(editor::save_level((folder / "taken").string(), LevelDocument::fresh(), error));
    EXPECT_TRUE(one_line(error)) << error;
    EXPECT_TRUE(fs::is_directory(folder / "taken" / "sub"));
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"level.txt", "taken"}));
}

TEST(LevelFiles, RefusesWhatIsNoTextInOneLine)
{
    std::string error;
    const fs::path missing = scratch("missing.txt");
    EXPECT_FALSE(editor::open_level(missing.string(), error));
    EXPECT_TRUE(one_line(error)) << error;

    error.clear();
    fs::create_directories(scratch("folder"));
    EXPECT_FALSE(editor::open_level(scratch("folder").string(), error));
    EXPECT_TRUE(one_line(error)) << error;

    error.clear();
    put(scratch("binary.txt"), std::string("..=\0..", 6));
    EXPECT_FALSE(editor::open_level(scratch("binary.txt").string(), error));
    EXPECT_TRUE(one_line(error)) << error;

    // Just over the limit, and text all through.
    error.clear();
    put(scratch("huge.txt"), std::string(editor::kMaxLevelFileBytes + 1, '.'));
    EXPECT_FALSE(editor::open_level(scratch("huge.txt").string(), error));
    EXPECT_TRUE(one_line(error)) << error;
}

TEST(LevelRecovery, BringsBackTheWholeTextAsUnsavedWork)
{
    const std::string path = scratch("level.txt").string();
    for (const std::string& text : {LevelDocument::fresh().text(), std::string("..\r\n.=\r\n# no end"),
                                    std::string(), std::string("# brickrun recovery 0 0\n")}) {
        std::string error;
        ASSERT_TRUE(editor::write_recovery(path, LevelDocument::from_text(text), error)) << error;
        const auto recovered = editor::read_recovery(path, error);
        ASSERT_TRUE(recovered) << error;
        EXPECT_EQ(recovered->text(), text);
        EXPECT_TRUE(recovered->unsaved());
    }
    EXPECT_EQ(editor::recovery_path(path), path + ".recover");
    editor::remove_recovery(path);
    EXPECT_FALSE(fs::exists(editor::recovery_path(path)));
}

TEST(LevelRecovery, RefusesACutOrAlteredFileAndLeavesItThere)
{
    const std::string path = scratch("level.txt").string();
    const std::string recovery = editor::recovery_path(path);
    std::string error;
    ASSERT_TRUE(editor::write_recovery(path, LevelDocument::from_text("...\n.B.\n=v=\n"), error));
    const std::string whole = slurp(recovery);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        put(recovery, whole.substr(0, size));
        error.clear();
        EXPECT_FALSE(editor::read_recovery(path, error)) << "cut to " << size << " bytes";
        EXPECT_TRUE(one_line(error)) << error;
        EXPECT_EQ(slurp(recovery), whole.substr(0, size));
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
        std::string altered = whole;
        altered[at] = altered[at] == 'X' ? 'B' : 'X';
        put(recovery, altered);
        error.clear();
        EXPECT_FALSE(editor::read_recovery(path, error)) << "byte " << at << " altered";
        EXPECT_TRUE(one_line(error)) << error;
    }
    EXPECT_TRUE(fs::exists(recovery));
}

TEST(LevelRecovery, IsOfferedWhenNewerThanTheLevelOrWithoutOne)
{
    const std::string path = scratch("level.txt").string();
    const std::string recovery = editor::recovery_path(path);
    EXPECT_FALSE(editor::recovery_is_newer(path));
    put(recovery, "work");
    EXPECT_TRUE(editor::recovery_is_newer(path));  // the level was never saved

    put(path, "level");
    const auto now = fs::last_write_time(recovery);
    fs::last_write_time(path, now + std::chrono::seconds(5));
    EXPECT_FALSE(editor::recovery_is_newer(path));
    fs::last_write_time(path, now - std::chrono::seconds(5));
    EXPECT_TRUE(editor::recovery_is_newer(path));
}

}  // namespace
