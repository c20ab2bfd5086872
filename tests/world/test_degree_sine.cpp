// The debris and flip sine comes from a table so that every C library draws the same picture; on
// our Linux builds the table must give exactly what the library gives, or the pictures moved.
#include "world/degree_sine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr double degree = 0.0174532;  // the game's own degree, a little short of pi / 180
}

TEST(DegreeSine, EveryTabledCountIsTheLibrarySineToTheLastBit) {
    for (int32_t t = 0; t < 100; ++t) EXPECT_EQ(degree_sine(t), std::sin(t * degree)) << "t = " << t;
}

// Beyond the counts the game draws with, the sine goes on as the same function: odd, bounded,
// continuous across the table's ends, and with the game's short degree (half a turn of it falls
// just short of pi, so its sine is not 0 but about 1.65e-5).
TEST(DegreeSine, GoesOnAsTheSameShortDegreeSineOutsideTheTable) {
    for (int32_t t = 1; t < 100; ++t) EXPECT_EQ(degree_sine(-t), -degree_sine(t)) << "t = " << t;
    EXPECT_NEAR(degree_sine(100), degree_sine(99), 0.02);
    EXPECT_NEAR(degree_sine(90), 1.0, 1e-9);
    EXPECT_GT(degree_sine(180), 1.6e-5);
    EXPECT_LT(degree_sine(180), 1.7e-5);
    for (int32_t t : {-100000, -361, 181, 270, 100000}) {
        EXPECT_LE(std::fabs(degree_sine(t)), 1.0) << "t = " << t;
    }
}
