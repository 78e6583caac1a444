#include "master/rolloff.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvik {
namespace {

TEST(Rolloff, IdentityUpToStartThenSmoothShoulderBelowOne) {
    const double s = 0.7, r = 0.701;
    EXPECT_DOUBLE_EQ(rolloff(0.5, s, r), 0.5);
    EXPECT_DOUBLE_EQ(rolloff(s, s, r), s);
    // Continuous with slope 1 at the start.
    const double h = 1e-6;
    EXPECT_NEAR(rolloff(s + h, s, r), s + h, 1e-9);
    EXPECT_NEAR((rolloff(s + h, s, r) - rolloff(s, s, r)) / h, 1.0, 1e-4);
    // Monotone, never above 1, approaching 1.
    double prev = rolloff(s, s, r);
    for (double x = s + 0.01; x < 50.0; x += 0.01) {
        const double y = rolloff(x, s, r);
        EXPECT_LE(y, 1.0) << x;
        EXPECT_GE(y, prev - 1e-12) << x;
        prev = y;
    }
    EXPECT_GT(rolloff(20.0, s, r), 0.999);
}

TEST(Rolloff, StartAtOrAboveOneIsHardClip) {
    for (double s : {1.0, 1.5}) {
        EXPECT_DOUBLE_EQ(rolloff(0.99, s, 0.7), 0.99);
        EXPECT_DOUBLE_EQ(rolloff(1.0, s, 0.7), 1.0);
        EXPECT_DOUBLE_EQ(rolloff(3.0, s, 0.7), 1.0);
    }
}

TEST(Rolloff, DegenerateRateStaysFinite) {
    EXPECT_TRUE(std::isfinite(rolloff(0.9, 0.7, 0.0)));
    EXPECT_LE(rolloff(0.9, 0.7, 0.0), 1.0);
    EXPECT_LE(rolloff(0.7000001, 0.7, 1e-9), 1.0);
    EXPECT_DOUBLE_EQ(rolloff(0.0, 0.001, 1e-9), 0.0);
}

}  // namespace
}  // namespace orvik
