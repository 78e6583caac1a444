#include "shading/models/spot_light.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "shading/models/light_falloff.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-12;
// A spot pointing down -Y with right +X and up +Z; its cone half-angle is 30 degrees.
const Vec3 kForward{0, -1, 0}, kRight{1, 0, 0}, kUpAxis{0, 0, 1};
const double kCosOuter = std::cos(std::numbers::pi / 6.0);

TEST(SpotProjection, ImageWiderThan9000IsNotUsed) {
    EXPECT_FALSE(projectionImageUsable(9001, 100));
    EXPECT_TRUE(projectionImageUsable(9000, 100));
    EXPECT_FALSE(projectionImageUsable(100, 0));
    EXPECT_FALSE(projectionImageUsable(0, 100));
    EXPECT_FALSE(spotProjectionPixel({0, 1, 0}, kForward, kRight, kUpAxis, kCosOuter, 9001, 100).has_value());
}

TEST(SpotProjection, AxisHitsTheCentreAndTheConeEdgeTheBorder) {
    // L points from the lit point back toward the light: straight up on the axis.
    const auto centre = spotProjectionPixel({0, 1, 0}, kForward, kRight, kUpAxis, kCosOuter, 64, 32);
    ASSERT_TRUE(centre.has_value());
    EXPECT_EQ(centre->column, 32);
    EXPECT_EQ(centre->row, 16);
    // A point at the cone's edge to the light's right: x = 1, held on the last column.
    const Vec3 l{-std::sin(std::numbers::pi / 6.0), std::cos(std::numbers::pi / 6.0), 0.0};
    const auto edge = spotProjectionPixel(l, kForward, kRight, kUpAxis, kCosOuter, 64, 32);
    ASSERT_TRUE(edge.has_value());
    EXPECT_EQ(edge->column, 63);
    // Beyond the square, or behind the light: no light.
    const Vec3 outside = normalize({-1.0, 1.0, 0.0});
    EXPECT_FALSE(spotProjectionPixel(outside, kForward, kRight, kUpAxis, kCosOuter, 64, 32).has_value());
    EXPECT_FALSE(spotProjectionPixel({0, -1, 0}, kForward, kRight, kUpAxis, kCosOuter, 64, 32).has_value());
}

TEST(LightFalloff, RangeAndDistanceLaws) {
    EXPECT_EQ(rangeFactor(10.0, 10.0), 0.0);
    EXPECT_EQ(rangeFactor(12.0, 10.0), 0.0);
    EXPECT_NEAR(rangeFactor(2.5, 10.0), 0.75, kTol);
    EXPECT_NEAR(falloffFactor(kFalloffInverseDistance, 4.0, 2.0, 1e-14), 0.5, kTol);
    EXPECT_NEAR(falloffFactor(kFalloffInverseDistanceSquared, 4.0, 2.0, 1e-14), 0.25, kTol);
    EXPECT_EQ(falloffFactor(0, 4.0, 2.0, 1e-14), 1.0);
    // At the light itself the minimum distance keeps the law finite.
    EXPECT_TRUE(std::isfinite(falloffFactor(kFalloffInverseDistanceSquared, 0.0, 1.0, 1e-10)));
    // Rounding may leave |forward . L| a hair above 1: the linear emitter gives 0, not NaN.
    EXPECT_EQ(linearEmitterFactor(1.0000000000000002), 0.0);
}


}  // namespace
}  // namespace orvik
