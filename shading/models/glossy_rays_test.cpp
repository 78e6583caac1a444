#include "shading/models/glossy_rays.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "shading/models/reflect_refract.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-12;
const Vec3 kUp{0, 1, 0};

TEST(Reflect, MirrorsAboutTheNormal) {
    const Vec3 r = reflect(normalize({1, 1, 0}), kUp);
    EXPECT_NEAR(r.x, -std::sqrt(0.5), kTol);
    EXPECT_NEAR(r.y, std::sqrt(0.5), kTol);
}

TEST(Refract, MatchingIndexPassesStraightThrough) {
    const Vec3 v = normalize({0.3, 1, 0.2});
    const Refraction t = refract(v, kUp, 1.0);
    EXPECT_EQ(t.direction, -v);
    EXPECT_FALSE(t.totalInternal);
    EXPECT_EQ(refract(v, kUp, 1.005).direction, -v);
}

TEST(Refract, FollowsSnellsLawAndReflectsPastTheCriticalAngle) {
    const Vec3 v{std::sin(std::numbers::pi / 6.0), std::cos(std::numbers::pi / 6.0), 0.0};  // 30 degrees from the normal
    const Refraction into = refract(v, kUp, 1.5);
    ASSERT_FALSE(into.totalInternal);
    EXPECT_NEAR(length(into.direction), 1.0, kTol);
    EXPECT_LT(into.direction.y, 0.0);
    EXPECT_NEAR(length(cross(into.direction, kUp)), 0.5 / 1.5, kTol);
    // Leaving glass at 60 degrees: beyond the critical angle of 41.8 degrees.
    const Vec3 steep{std::sin(std::numbers::pi / 3.0), std::cos(std::numbers::pi / 3.0), 0.0};
    const Refraction out = refract(steep, kUp, 1.0 / 1.5);
    EXPECT_TRUE(out.totalInternal);
    EXPECT_EQ(out.direction, reflect(steep, kUp));
}

TEST(GlossyRays, DirectionsBelowTheSurfaceAreMirroredBack) {
    GlossySpread spread;
    spread.spread = 20.0;
    spread.surfaceAnisotropy = 1.0;
    const Vec3 grazing = normalize({1.0, 0.05, 0.0});
    std::array<Vec3, 200> rays;
    glossyRays(spread, grazing, kUp, kUp, 0.3, 0xDEADBEEFu, 0.5, rays);
    int mirrored = 0;
    for (const Vec3& d : rays) {
        EXPECT_GE(dot(d, kUp), -kTol);
        EXPECT_NEAR(length(d), 1.0, 1e-9);
        if (dot(d, kUp) < 0.05) ++mirrored;
    }
    EXPECT_GT(mirrored, 0);  // the spread really reached below the surface
}

TEST(GlossyRays, ZeroSpreadRepeatsTheMirrorDirection) {
    const Vec3 v = normalize({0.4, 1.0, -0.2});
    std::array<Vec3, 6> rays;
    glossyRays(GlossySpread{}, v, kUp, kUp, 0.0, 12345u, 0.5, rays);
    const Vec3 r = reflect(v, kUp);
    for (const Vec3& d : rays) {
        EXPECT_NEAR(d.x, r.x, kTol);
        EXPECT_NEAR(d.y, r.y, kTol);
        EXPECT_NEAR(d.z, r.z, kTol);
    }
}

TEST(GlossyRays, ViewAnisotropyStretchesWithinThePlaneOfIncidence) {
    // As on a wet road, the reflection streaks toward the viewer.
    GlossySpread spread;
    spread.spread = 2.0;
    spread.viewAnisotropy = 1.0;
    const Vec3 v = normalize({1.0, 1.0, 0.0});  // plane of view and normal: z = 0
    std::array<Vec3, 64> rays;
    glossyRays(spread, v, kUp, kUp, 0.0, 99u, 0.25, rays);
    const Vec3 r = reflect(v, kUp);
    double across = 0.0, within = 0.0;
    for (const Vec3& d : rays) {
        across += std::fabs(d.z);
        within += std::fabs(dot(d - r, normalize(cross(r, {0, 0, 1}))));
    }
    EXPECT_GT(within, 2.0 * across);
}

TEST(ReflectionRayCounts, SharpSoftAndCapped) {
    // A spread of 0 traces one mirror ray; the environment still takes trunc(0.2 q / (b^2 + 1) * 125 + 1).
    EXPECT_EQ(tracedReflectionRayCount(0.0, 0.2, 1.0, 1.0, 0, 1.0), 1);
    EXPECT_EQ(environmentRayCount(0.0, 0.2, 0, 1.0), 6);
    EXPECT_EQ(environmentRayCount(0.0, 0.2, 1, 1.0), 3);
    EXPECT_EQ(recomposedEnvironmentRayCount(0.0, 0.2), 2);
    EXPECT_EQ(tracedReflectionRayCount(1000.0, 5.0, 1.0, 1.0, 0, 1.0), kMaxReflectionRays);
    EXPECT_EQ(tracedReflectionRayCount(0.3, 0.2, 1.0, 0.5, 0, 1.0), 26);
    EXPECT_EQ(tracedReflectionRayCount(0.3, 0.2, 1.0, 0.5, 1, 1.0), 13);
    EXPECT_EQ(reflectionRayCount(1e300), kMaxReflectionRays);
    EXPECT_EQ(reflectionRayCount(-5.0), 1);
    EXPECT_EQ(reflectionRayCount(std::nan("")), 1);
}

}  // namespace
}  // namespace orvik
