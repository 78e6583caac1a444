#include "host/sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace orvik::host {
namespace {

TEST(JitteredPattern, EachPassTakesItsOwnCellInsideThePixel) {
  for (int count : {2, 4, 5, 9, 16, 33}) {
    const auto pattern = jitteredPattern(count, 42);
    ASSERT_EQ(pattern.size(), size_t(count));
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    std::set<int> cells;
    for (const auto& s : pattern) {
      ASSERT_GE(s[0], 0.0);
      ASSERT_LT(s[0], 1.0);
      ASSERT_GE(s[1], 0.0);
      ASSERT_LT(s[1], 1.0);
      cells.insert(int(s[1] * rows) * columns + int(s[0] * columns));
    }
    EXPECT_EQ(cells.size(), size_t(count)) << count << " passes share a cell";
  }
  EXPECT_EQ(jitteredPattern(1, 9), (std::vector<Sample2>{{0.5, 0.5}}));
  EXPECT_TRUE(jitteredPattern(0, 9).empty());
}

TEST(JitteredPattern, SameSeedSamePatternOtherSeedOther) {
  EXPECT_EQ(jitteredPattern(8, 1), jitteredPattern(8, 1));
  EXPECT_NE(jitteredPattern(8, 1), jitteredPattern(8, 2));
  EXPECT_NE(pixelSeed(3, 4, 1, 0), pixelSeed(4, 3, 1, 0));
  EXPECT_NE(pixelSeed(3, 4, 1, 0), pixelSeed(3, 4, 2, 0));
  EXPECT_EQ(pixelSeed(3, 4, 1, 5), pixelSeed(3, 4, 1, 5));
}

// Named thresholds for the statistical checks: with N samples the standard
// error of a mean of values in [0, 1] is below 0.5 / sqrt(N); we allow 5 of them.
constexpr int kSamples = 40000;
const double kTolerance = 5 * 0.5 / std::sqrt(double(kSamples));

TEST(SampleRandom, UniformMeanAndVariance) {
  SampleRandom random(123);
  double sum = 0, sum2 = 0;
  for (int i = 0; i < kSamples; ++i) {
    const double x = random.next();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    sum += x;
    sum2 += x * x;
  }
  EXPECT_NEAR(sum / kSamples, 0.5, kTolerance);
  EXPECT_NEAR(sum2 / kSamples, 1.0 / 3.0, kTolerance);
}

TEST(CosineHemisphere, StaysAboveTheSurfaceWithCosineDensity) {
  // E[cos] = 2/3 and E[cos^2] = 1/2 under a cosine-weighted density.
  for (const Dir3& n : {Dir3{0, 1, 0}, Dir3{0, 0, -1}, Dir3{0.6, 0, 0.8}}) {
    SampleRandom random(99);
    double sumCos = 0, sumCos2 = 0;
    for (int i = 0; i < kSamples; ++i) {
      const Dir3 d = cosineHemisphere(n, random.next(), random.next());
      const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      ASSERT_NEAR(len, 1.0, 1e-9);
      const double c = d[0] * n[0] + d[1] * n[1] + d[2] * n[2];
      ASSERT_GE(c, -1e-12);
      sumCos += c;
      sumCos2 += c * c;
    }
    EXPECT_NEAR(sumCos / kSamples, 2.0 / 3.0, kTolerance);
    EXPECT_NEAR(sumCos2 / kSamples, 0.5, kTolerance);
  }
}

}  // namespace
}  // namespace orvik::host
