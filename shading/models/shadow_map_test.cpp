#include "shading/models/shadow_map.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace orvik {
namespace {

// A light looking down -Z from the origin: depth = -z, x = 10 p.x / depth + 8, y = 10 p.y / depth + 8.
std::array<double, kShadowProjectionDoubles> lookingDown() {
    std::array<double, kShadowProjectionDoubles> r{};
    r[1] = r[3] = 8.0;
    r[17 + 2] = -1.0;
    r[20] = 10.0;
    r[23 + 1] = 10.0;
    return r;
}

TEST(ShadowMap, ProjectsThroughTheLightsFrame) {
    const auto r = lookingDown();
    const ShadowMapPoint q = projectToShadowMap(r, {0.5, -0.2, -5.0});
    EXPECT_NEAR(q.z, 5.0, 1e-12);
    EXPECT_NEAR(q.x, 9.0, 1e-12);
    EXPECT_NEAR(q.y, 7.6, 1e-12);
    EXPECT_TRUE(std::isfinite(projectToShadowMap(r, {1, 1, 0}).x));  // in the light's plane
}

TEST(ShadowMap, PatternShareInFrontOfTheStoredDepth) {
    // A 16 x 16 map: an occluder at depth 3 covers the left half, the right half is open (depth 100).
    std::vector<float> depths(16 * 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) depths[y * 16 + x] = x < 8 ? 3.0f : 100.0f;
    }
    const std::int32_t dx[4] = {-1, 0, 1, 2}, dy[4] = {0, 0, 0, 0};
    // A point at depth 5 over the boundary: x rounds to the nearest pixel (7.4 to 7, 7.6 to 8),
    // so two or one of the four taps fall on the occluder.
    EXPECT_NEAR(shadowMapVisibility(depths, 16, 16, {7.4, 4.0, 5.0}, dx, dy), 0.5, 1e-12);
    EXPECT_NEAR(shadowMapVisibility(depths, 16, 16, {7.6, 4.0, 5.0}, dx, dy), 0.75, 1e-12);
    // In front of the occluder every tap sees the light.
    EXPECT_EQ(shadowMapVisibility(depths, 16, 16, {7.6, 4.0, 2.0}, dx, dy), 1.0);
    // Taps off the map count as lit; a map smaller than its stated size is not read.
    EXPECT_EQ(shadowMapVisibility(depths, 16, 16, {-50.0, 1e12, 5.0}, dx, dy), 1.0);
    EXPECT_EQ(shadowMapVisibility(std::span<const float>(depths).first(10), 16, 16, {4.0, 4.0, 5.0}, dx, dy), 1.0);
    EXPECT_EQ(shadowMapVisibility(depths, 16, 16, {4.0, 4.0, 5.0}, {}, {}), 1.0);
}

}  // namespace
}  // namespace orvik
