#include "master/gradient_noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace orvik {
namespace {

TEST(NoiseTables, ByteTablesArePermutationsThatDifferBySeed) {
    const NoiseTables& t = noiseTables();
    for (const auto& table : t.bytes) {
        std::set<int> seen(table.begin(), table.end());
        EXPECT_EQ(seen.size(), 256u);
    }
    EXPECT_NE(t.bytes[0], t.bytes[1]);
    EXPECT_EQ(makeNoiseByteTable(9934), t.bytes[0]);
    EXPECT_EQ(makeNoiseByteTable(9934 + 3727), t.bytes[1]);
}

TEST(NoiseTables, GradientsInsideScaledBallAndRepeatedThreeTimes) {
    const NoiseTables& t = noiseTables();
    double longest = 0.0;
    for (int n = 0; n < 256; ++n) {
        const auto& g = t.gradients[n];
        longest = std::max(longest, std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]));
        EXPECT_EQ(t.gradients[n + 256], g);
        EXPECT_EQ(t.gradients[n + 512], g);
    }
    EXPECT_LE(longest, 12.43105 + 1e-9);
    EXPECT_GT(longest, 10.0);  // the draws fill the ball, not a shrunken core
}

TEST(NoiseAxisHash, UsesLow16BitsOfNegativeAndLargeCoordinates) {
    const NoiseTables& t = noiseTables();
    const auto& lo = t.bytes[0];
    const auto& hi = t.bytes[1];
    EXPECT_EQ(noiseAxisHash(lo, hi, 0), (lo[0] + hi[0]) & 255);
    EXPECT_EQ(noiseAxisHash(lo, hi, 0x1234), (lo[0x34] + hi[0x12]) & 255);
    EXPECT_EQ(noiseAxisHash(lo, hi, 0x51234), noiseAxisHash(lo, hi, 0x1234));
    EXPECT_EQ(noiseAxisHash(lo, hi, -1), (lo[0xFF] + hi[0xFF]) & 255);
}

TEST(GradientNoise, ZeroAtLatticePointsWithHashedGradient) {
    for (int x = -3; x <= 3; ++x)
        for (int y = -2; y <= 2; ++y)
            for (int z : {-70000, 0, 5, 65536})
                EXPECT_NEAR(gradientNoise(x, y, z), 0.0, 1e-12) << x << " " << y << " " << z;

    // The slope at a lattice point is that point's gradient.
    const NoiseTables& t = noiseTables();
    const int hx = noiseAxisHash(t.bytes[0], t.bytes[1], 2);
    const int hy = noiseAxisHash(t.bytes[2], t.bytes[3], 3);
    const int hz = noiseAxisHash(t.bytes[4], t.bytes[5], 4);
    const auto& g = t.gradients[hx + hy + hz];
    const double h = 1e-6;
    EXPECT_NEAR(gradientNoise(2 + h, 3, 4) / h, g[0], 1e-4);
    EXPECT_NEAR(gradientNoise(2, 3 + h, 4) / h, g[1], 1e-4);
    EXPECT_NEAR(gradientNoise(2, 3, 4 + h) / h, g[2], 1e-4);
}

TEST(GradientNoise, ContinuousAcrossCellBordersAndNotFlat) {
    const double e = 1e-9;
    for (double b : {1.0, -4.0, 255.0, 256.0})
        for (double o : {0.25, 0.5, 0.8}) {
            EXPECT_NEAR(gradientNoise(b - e, o, 0.3), gradientNoise(b + e, o, 0.3), 1e-6);
            EXPECT_NEAR(gradientNoise(o, b - e, 0.3), gradientNoise(o, b + e, 0.3), 1e-6);
            EXPECT_NEAR(gradientNoise(0.3, o, b - e), gradientNoise(0.3, o, b + e), 1e-6);
        }
    double lo = 0.0, hi = 0.0, sum = 0.0;
    int n = 0;
    for (double x = 0.05; x < 40.0; x += 0.37)
        for (double y = 0.05; y < 10.0; y += 0.41) {
            const double v = gradientNoise(x, y, 0.726262);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            sum += v;
            ++n;
        }
    EXPECT_LT(lo, -0.3);
    EXPECT_GT(hi, 0.3);
    EXPECT_LT(std::fabs(sum / n), 0.25);
}

}  // namespace
}  // namespace orvik
