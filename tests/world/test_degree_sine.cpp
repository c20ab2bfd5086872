// The debris and flip sine comes from a table so that every C library draws the same picture; on
// our Linux builds the table must give exactly what the library gives, or the pictures moved.
#include "world/degree_sine.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DegreeSine, EveryTabledCountIsTheLibrarySineToTheLastBit) {
    const double degree = 0.0174532;
    for (int32_t t = -3; t < 110; ++t)
        EXPECT_EQ(degree_sine(t), std::sin(t * degree)) << "t = " << t;
}
