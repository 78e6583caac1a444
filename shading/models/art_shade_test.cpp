#include "shading/models/art_shade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orvik {
namespace {

TEST(ArtShade, ImageSizeLimits) {
    EXPECT_FALSE(artImageUsable(4101, 100));
    EXPECT_FALSE(artImageUsable(100, 4101));
    EXPECT_TRUE(artImageUsable(4100, 4100));
    EXPECT_TRUE(artImageUsable(4, 4));
    EXPECT_FALSE(artImageUsable(3, 100));
    EXPECT_TRUE(artImagePlausible(0.5));
    EXPECT_FALSE(artImagePlausible(1000.5));
    EXPECT_FALSE(artImagePlausible(-0.1));
    EXPECT_FALSE(artImagePlausible(NAN));
}

TEST(ArtShade, FacingNormalReadsTheCentre) {
    const Vec3 v{0, 0, 1};
    const ArtLookup a = artLookup(v, v, 1.0, v, {}, 101, 51);
    const double column = 0.5 * (101 - 1.0001), row = 0.5 * (51 - 1.0001);
    EXPECT_EQ(a.x0, int(column));
    EXPECT_EQ(a.y0, int(row));
    EXPECT_NEAR(a.weights[1] + a.weights[3], column - int(column), 1e-12);
    // An upward normal reads the top, a rotation of half a turn the bottom.
    const Vec3 up = normalize({0, 1, 1});
    EXPECT_LT(artLookup(up, up, 1.0, v, {}, 101, 51).y0, 10);
    EXPECT_GT(artLookup(up, up, 1.0, v, {0.5, 0.0}, 101, 51).y0, 40);
}

TEST(ArtShade, LookupStaysInsideTheImageForEveryView) {
    std::mt19937 gen(11);
    std::normal_distribution<double> n(0.0, 1.0);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    for (int i = 0; i < 2000; ++i) {
        // Every fifth view is vertical, where the right vector falls back to the up axis.
        const Vec3 v = i % 5 == 0 ? Vec3{0, i % 2 ? 1.0 : -1.0, 0} : normalize({n(gen), n(gen), n(gen)});
        const Vec3 normal = normalize({n(gen), n(gen), n(gen)});
        const ArtLookup a = artLookup(normal, normal, 1.0, v, {u(gen), 0.0}, 8, 4);
        ASSERT_GE(a.x0, 0);
        ASSERT_LE(a.x1, 7);
        ASSERT_GE(a.y0, 0);
        ASSERT_LE(a.y1, 3);
        EXPECT_NEAR(a.weights[0] + a.weights[1] + a.weights[2] + a.weights[3], 1.0, 1e-12);
    }
}

}  // namespace
}  // namespace orvik
