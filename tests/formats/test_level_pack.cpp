// A pack's order from its folder's names and its pack.txt: what plays, in which order, and the one
// error each kind of mistake gets, with its place in pack.txt.
#include "formats/level_pack.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using formats::order_pack;
using formats::read_pack_list;

TEST(PackList, ReadsTitleAuthorAndNamesBetweenCommentsAndBlankLines) {
    const auto read = read_pack_list(
        "# Rooftops, a pack\r\ntitle:  Rooftops \n\nauthor: Ada\n  roofs.txt\n# the hard one\n"
        "cellar.MAP\n\tlast level.txt  \n");
    ASSERT_FALSE(read.error) << read.error->message;
    EXPECT_EQ(read.list.title, "Rooftops");
    EXPECT_EQ(read.list.author, "Ada");
    EXPECT_EQ(read.list.files, (std::vector<std::string>{"roofs.txt", "cellar.MAP", "last level.txt"}));

    // Neither title nor author is needed; a level may come twice.
    EXPECT_EQ(read_pack_list("a.txt\na.txt\n").list.files.size(), 2u);
}

TEST(PackList, EachMistakeIsOneErrorAtItsLineAndColumn) {
    struct Case {
        std::string text;
        int line, column;
        std::string starts;
    };
    std::string hundred;
    for (int i = 0; i < 100; ++i) hundred += "l" + std::to_string(i) + ".txt\n";
    const Case cases[] = {
        {"title: A\n  ../b.txt\n", 2, 3, "'../b.txt' names a file in another folder"},
        {"sub\\b.map\n", 1, 1, "'sub\\b.map' names a file in another folder"},
        {"a.txt\nnotes.md\n", 2, 1, "'notes.md' is not a level"},
        {"pack.txt\n", 1, 1, "pack.txt cannot be a level"},
        {"title: A\ntitle: B\na.txt\n", 2, 1, "a second title line"},
        {"a.txt\nauthor: B\n", 2, 1, "the author comes before the first level"},
        {"# nothing\ntitle: A\n", 2, 1, "pack.txt names no level"},
        {"", 1, 1, "pack.txt names no level"},
        {hundred, 100, 1, "more than 99 levels"},
    };
    for (const Case& c : cases) {
        const auto read = read_pack_list(c.text);
        ASSERT_TRUE(read.error) << c.text;
        EXPECT_EQ(read.error->line, c.line) << c.starts;
        EXPECT_EQ(read.error->column, c.column) << c.starts;
        EXPECT_EQ(read.error->message.substr(0, c.starts.size()), c.starts);
    }
}

TEST(PackOrder, WithoutAPackListEveryLevelFilePlaysInNameOrder) {
    const auto order = order_pack({"b.txt", "notes.md", "a.map", ".a.txt", "pack.TXT", "C.TXT",
                                   "level10.txt", "level2.txt", "map"},
                                  std::nullopt);
    ASSERT_FALSE(order.error || order.source_error);
    EXPECT_EQ(order.list.files,
              (std::vector<std::string>{"C.TXT", "a.map", "b.txt", "level10.txt", "level2.txt"}));
}

TEST(PackOrder, APackListGivesTheOrderAndEveryFileItNamesMustBeThere) {
    const std::vector<std::string> names = {"a.txt", "b.map", "c.txt", "pack.txt"};
    const auto order = order_pack(names, "title: T\nc.txt\na.txt\n");
    ASSERT_FALSE(order.error || order.source_error);
    EXPECT_EQ(order.list.files, (std::vector<std::string>{"c.txt", "a.txt"}));
    EXPECT_EQ(order.list.title, "T");

    const auto missing = order_pack(names, "a.txt\n\n   gone.txt\n");
    ASSERT_TRUE(missing.source_error);
    EXPECT_EQ(missing.source_error->line, 3);
    EXPECT_EQ(missing.source_error->column, 4);
    EXPECT_EQ(missing.source_error->message, "no file 'gone.txt' in the pack's folder");
    EXPECT_TRUE(missing.list.files.empty());
}

TEST(PackOrder, AFolderOfNoLevelOrOfMoreThanNinetyNineIsRefused) {
    const auto empty = order_pack({"notes.md", "pack.txt.bak"}, std::nullopt);
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(*empty.error, "no levels in it (.txt or .map files, or a pack.txt naming them)");

    std::vector<std::string> names;
    for (int i = 0; i < 99; ++i) names.push_back(std::to_string(1000 + i) + ".txt");
    EXPECT_FALSE(order_pack(names, std::nullopt).error);
    names.push_back("extra.map");
    const auto many = order_pack(names, std::nullopt);
    ASSERT_TRUE(many.error);
    EXPECT_EQ(*many.error, "100 levels, more than a pack holds (99)");
}
