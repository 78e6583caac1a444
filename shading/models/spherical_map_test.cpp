#include "shading/models/spherical_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orvik {
namespace {

constexpr double kTol = 1e-9;

TEST(SphericalMap, LatitudeAndLongitude) {
    const MapPosition front = sphericalMapPosition({0, 0, 1}, 0.0, 400, 200);
    EXPECT_NEAR(front.x, 0.0, kTol);
    EXPECT_NEAR(front.y, 100.0, kTol);
    EXPECT_NEAR(sphericalMapPosition({0, 1, 0}, 0.0, 400, 200).y, 0.0, kTol);
    EXPECT_NEAR(sphericalMapPosition({0, -1, 0}, 0.0, 400, 200).y, 200.0, kTol);
    EXPECT_NEAR(sphericalMapPosition({1, 0, 0}, 0.0, 400, 200).x, 100.0, kTol);
    // Slightly over-long directions stay on the map.
    EXPECT_TRUE(std::isfinite(sphericalMapPosition({0, 1.0000000000000002, 0}, 0.0, 400, 200).y));
}

TEST(SphericalMap, SeamAngleOfAQuarterTurnShiftsAQuarterWidth) {
    for (const Vec3 d : {Vec3{0, 0, 1}, normalize({0.3, 0.2, -1}), normalize({-1, -0.5, 0.1})}) {
        const double plain = sphericalMapPosition(d, 0.0, 400, 200).x;
        const double turned = sphericalMapPosition(d, std::numbers::pi / 2.0, 400, 200).x;
        EXPECT_NEAR(std::fmod(turned + 100.0, 400.0), plain, kTol);
        EXPECT_GE(turned, 0.0);
        EXPECT_LT(turned, 400.0);
    }
}

TEST(SphericalMap, FiveTapsWeighTwoToOneAndStayInsideTheImage) {
    std::array<double, 10> jitter;
    jitter.fill(0.5);
    const double r = sphericalBlurRadius(400, 200, 0.0);
    EXPECT_EQ(r, 1.0);
    const auto taps = sphericalMapTaps({10.2, 50.7}, r, jitter, 400, 200);
    EXPECT_EQ(taps[0].column, 10);
    EXPECT_EQ(taps[0].row, 50);
    EXPECT_EQ(taps[1].column, 8);
    EXPECT_EQ(taps[1].row, 51);
    double total = 0.0;
    for (const MapTap& t : taps) total += t.weight;
    EXPECT_NEAR(total, 1.0, 1e-15);
    EXPECT_NEAR(taps[0].weight, 2.0 * taps[1].weight, 1e-15);
    // A blur far wider than the image, at a corner: every tap still reads a real pixel.
    const double wide = sphericalBlurRadius(400, 200, 5.0);
    for (const MapPosition p : {MapPosition{0.0, 0.0}, MapPosition{399.9, 199.9}, MapPosition{-1e12, 1e12}}) {
        for (const MapTap& t : sphericalMapTaps(p, wide, jitter, 400, 200)) {
            EXPECT_GE(t.column, 0);
            EXPECT_LT(t.column, 400);
            EXPECT_GE(t.row, 0);
            EXPECT_LT(t.row, 200);
        }
    }
    // Columns wrap around the seam: 0.2 - 2 truncates to -1, the last column.
    EXPECT_EQ(sphericalMapTaps({0.2, 50.0}, 1.0, jitter, 400, 200)[1].column, 399);
}

}  // namespace
}  // namespace orvik
