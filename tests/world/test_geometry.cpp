// The overlap test every contact reduces to.
#include "world/geometry.h"

#include <gtest/gtest.h>

namespace {
Overlap flags(bool top, bool left, bool right, bool bottom) { return {top, left, right, bottom}; }
}  // namespace

TEST(Overlap, ReportsTheSidesReachedInto) {
    Rect a{0, 0, 10, 10}, b{5, 5, 20, 20};
    EXPECT_EQ(a.overlap(b), flags(true, true, false, false));
    EXPECT_EQ(b.overlap(a), flags(false, false, true, true));
    EXPECT_EQ(a.overlap(a), flags(true, true, true, true));
    EXPECT_EQ((Rect{100, 0, 110, 10}).overlap(b), std::nullopt);
}

TEST(Overlap, EdgesOnTheMidpointsGoToTheFarSide) {
    Rect b{0, 0, 20, 20};  // midpoints 10, 10
    EXPECT_TRUE(Rect({0, 10, 5, 30}).vertical_sides(b).bottom);   // top on midY
    EXPECT_TRUE(Rect({0, -10, 5, 10}).vertical_sides(b).top);     // bottom on midY
    EXPECT_TRUE(Rect({10, 5, 30, 8}).overlap(b)->right);          // left on midX
    EXPECT_TRUE(Rect({-10, 5, 10, 8}).overlap(b)->left);          // right on midX
    // Shared edge: a standing on b.
    EXPECT_EQ(Rect({2, -10, 8, 0}).overlap(b), flags(true, true, false, false));
}

TEST(Overlap, SpanningVerticallyCountsButSpanningHorizontallyDoesNot) {
    Rect b{10, 10, 20, 20};
    EXPECT_EQ(Rect({12, 0, 18, 30}).overlap(b), flags(true, true, false, true));
    EXPECT_EQ(Rect({0, 12, 30, 18}).overlap(b), std::nullopt);
    Overlap v = Rect({12, 0, 18, 30}).vertical_sides(b);
    EXPECT_FALSE(v.left || v.right);
}

TEST(Overlap, MidpointsOfNegativeSpansTruncateTowardZero) {
    Rect b{-3, -3, 0, 0};  // midpoints -1 (not -2)
    EXPECT_TRUE(Rect({-5, -1, -4, 5}).vertical_sides(b).bottom);
    EXPECT_TRUE(Rect({-5, -2, -4, 5}).vertical_sides(b).top);
    // The empty rectangle only meets probes touching column 0 and row 0.
    Rect empty{};
    EXPECT_TRUE(Rect({0, -5, 10, 5}).overlap(empty).has_value());
    EXPECT_FALSE(Rect({1, -5, 10, 5}).overlap(empty).has_value());
    EXPECT_FALSE(Rect({-5, 1, 0, 5}).overlap(empty).has_value());
}
