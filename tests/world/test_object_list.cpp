// The object list: growth, removal by retagging.
#include "world/object_list.h"

#include <gtest/gtest.h>

TEST(ObjectList, GrowsByFiftyWhenTwoEntriesAreLeft) {
    ObjectList list;
    int things[200];
    list.append(&things[0], KIND_PLAYER);
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(list.entries[0].object, &things[0]);
    for (int i = 1; i < 98; ++i) list.append(&things[i], KIND_BLOCK);
    EXPECT_EQ(list.capacity, 100);
    list.append(&things[98], KIND_ENEMY);
    EXPECT_EQ(list.capacity, 150);
    EXPECT_EQ(list.count, 99);
    for (int i = 0; i < 98; ++i) {
        ASSERT_EQ(list.entries[i].object, &things[i]);
        ASSERT_EQ(list.entries[i].kind, i == 0 ? KIND_PLAYER : KIND_BLOCK);
    }
    while (list.count < 149) list.append(&things[list.count], KIND_ITEM);
    EXPECT_EQ(list.capacity, 200);
    list.clear();
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.capacity, 100);
}

TEST(ObjectList, RemoveRetagsEveryEntryOfTheObjectAndNothingElse) {
    ObjectList list;
    int a = 0, b = 0, stranger = 0;
    list.append(&a, KIND_ENEMY);
    list.append(&b, KIND_ITEM);
    list.append(&a, KIND_ENEMY);
    list.remove(&stranger);
    EXPECT_EQ(list.entries[0].kind, KIND_ENEMY);
    list.remove(&a);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.entries[0].kind, KIND_REMOVED);
    EXPECT_EQ(list.entries[1].kind, KIND_ITEM);
    EXPECT_EQ(list.entries[2].kind, KIND_REMOVED);
    EXPECT_EQ(list.entries[2].object, &a);
}
