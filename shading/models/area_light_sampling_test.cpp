#include "shading/models/area_light_sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvik {
namespace {

constexpr double kTol = 1e-12;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

void expectGrid(std::array<double, 4> got, std::array<double, 4> want) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], kTol) << "entry " << i;
}

TEST(AreaLightSeedGrid, CandidatesPlaceTheInnerCoordinates) {
    expectGrid(seedGridCoordinates(kNone, kNone), {0, 1.0 / 3.0, 2.0 / 3.0, 1});
    expectGrid(seedGridCoordinates(0.5, kNone), {0, 0.25, 0.5, 1});
    expectGrid(seedGridCoordinates(0.1, kNone), {0, 0.1, 0.55, 1});
    expectGrid(seedGridCoordinates(0.7, 0.2), {0, 0.2, 0.7, 1});
    // Two candidates closer than 0.001 merge into their mean 0.40025.
    expectGrid(seedGridCoordinates(0.4, 0.4005), {0, 0.200125, 0.40025, 1});
    // Candidates at the light's ends are dropped.
    expectGrid(seedGridCoordinates(0.0, 1.0), {0, 1.0 / 3.0, 2.0 / 3.0, 1});
}

TEST(AreaLightSeedGrid, FootAndMirrorPoints) {
    const Vec3 origin{-1, 2, 0}, edge{2, 0, 0};
    EXPECT_NEAR(edgeParameter({0, 0, 0}, origin, edge, 4.0), 0.5, kTol);
    EXPECT_EQ(edgeParameter({5, 0, 0}, origin, edge, 4.0), 1.0);
    EXPECT_EQ(edgeParameter({-5, 0, 0}, origin, edge, 4.0), 0.0);
    const Vec3 hit = mirrorPlanePoint({0, 0, 0}, normalize({1, 1, 0}), origin, {0, 1, 0});
    EXPECT_NEAR(hit.x, 2.0, kTol);
    EXPECT_NEAR(hit.y, 2.0, kTol);
    EXPECT_EQ(mirrorPlanePoint({0, 0, 0}, {1, 0, 0}, origin, {0, 1, 0}), (Vec3{0, 0, 0}));
}

TEST(AreaLightIntegration, ExactForBilinearLightAndStopsOnUniformLight) {
    const auto grid = seedGridCoordinates(kNone, kNone);
    auto none = [](double, double, double, double, Vec3) {};
    auto uniform = [](double, double) { return LightSampleValue{{1, 1, 1}, {0.5, 0.5, 0.5}}; };
    const AreaLightSums flat = integrateAreaLight(grid, grid, 3, 1e-6, uniform, none);
    EXPECT_NEAR(flat.lit.x, 1.0, kTol);
    EXPECT_NEAR(flat.shadow.x, 0.5, kTol);
    EXPECT_EQ(flat.samples, 16);
    // A light growing along u is refined, and the corner average is exact for it.
    auto ramp = [](double u, double v) { return LightSampleValue{{u, u * v, 0}, {}}; };
    const AreaLightSums r = integrateAreaLight(grid, grid, 3, 1e-4, ramp, none);
    EXPECT_GT(r.samples, 16);
    EXPECT_NEAR(r.lit.x, 0.5, 1e-12);
    EXPECT_NEAR(r.lit.y, 0.25, 1e-12);
}

TEST(AreaLightIntegration, RefinesTowardAnEdgeAndReportsEveryLeaf) {
    const auto grid = seedGridCoordinates(kNone, kNone);
    auto step = [](double u, double) { return LightSampleValue{{u < 0.3 ? 1.0 : 0.0, 0, 0}, {}}; };
    double leafSum = 0.0, leafArea = 0.0;
    auto leaves = [&](double ua, double ub, double va, double vb, Vec3 lit) {
        leafSum += lit.x;
        leafArea += (ub - ua) * (vb - va);
    };
    const AreaLightSums coarse = integrateAreaLight(grid, grid, 0, 1.5608740894901143, step, leaves);
    const AreaLightSums fine = integrateAreaLight(grid, grid, 0, 1e-4, step, leaves);
    EXPECT_LT(std::fabs(fine.lit.x - 0.3), std::fabs(coarse.lit.x - 0.3));
    EXPECT_LT(std::fabs(fine.lit.x - 0.3), 0.01);
    EXPECT_NEAR(leafSum, coarse.lit.x + fine.lit.x, 1e-12);
    EXPECT_NEAR(leafArea, 2.0, 1e-12);
    // Even a threshold of 0 ends: cells stop at 0.001 wide.
    EXPECT_LT(integrateAreaLight(grid, grid, 0, 0.0, step, leaves).samples, 100000);
}

TEST(AreaLightShadows, RayCounts) {
    EXPECT_EQ(areaShadowRayCount(1, 0.57735, false, 0.0), 8);
    EXPECT_EQ(areaShadowRayCount(0, 0.57735, true, 0.5), 2);
    EXPECT_EQ(areaShadowRayCount(40, 1.0, true, 2.0), 512);
    EXPECT_EQ(areaShadowRaysToCast(100, 1.0, 0.001), 0);
    EXPECT_EQ(areaShadowRaysToCast(100, 1.0, 1.0), 30);
    EXPECT_EQ(areaShadowRaysToCast(100, 1.0, 10.0), 100);
    EXPECT_EQ(areaShadowRaysToCast(2, 1.0, 0.01), 1);
    EXPECT_EQ(areaShadowFirstBatch(1), 2);
    EXPECT_EQ(areaShadowFirstBatch(30), 10);
    EXPECT_NEAR(areaRefineThreshold(true, 1.0), 0.15 / (0.625 * 0.625), kTol);
}

}  // namespace
}  // namespace orvik
