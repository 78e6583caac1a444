#include "shading/models/photo_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "shading/models/colour_processing.h"
#include "shading/models/hsv.h"
#include "shading/models/shadow_darkening.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-9;

PhotoMapSettings fullStrength() {
    PhotoMapSettings s;
    s.strength = 1.0;
    return s;
}

double targetBrightness(const PhotoMapSettings& s, double mx) {
    const double b0 = std::max(s.brightness - s.brightnessRange * 0.5, 0.0), b1 = b0 + s.brightnessRange;
    return b1 - (b1 - b0) * std::exp(-mx / b1);
}

TEST(PhotoMap, MapsTheBrightestChannelAndTheRatio) {
    const PhotoMapSettings s = fullStrength();
    const Vec3 in{0.6, 0.3, 0.1};
    const Vec3 c = in + Vec3{0.00167, 0.00124, 0.00105};
    const Vec3 out = photoMap(in, s);
    const double target = targetBrightness(s, c.x);
    EXPECT_NEAR(out.x, target, kTol);
    const double w0 = 0.65 - 0.175, w1 = w0 + 0.35;
    EXPECT_NEAR(out.z / out.x, w0 + (w1 - w0) * (c.z / c.x), 1e-6);
    // The order of the channels is kept.
    EXPECT_GT(out.x, out.y);
    EXPECT_GT(out.y, out.z);
}

TEST(PhotoMap, GreyUsesTheFixedSlope) {
    const PhotoMapSettings s = fullStrength();
    const Vec3 grey{100.0, 100.0, 100.0};
    const Vec3 c = grey + Vec3{0.00167, 0.00124, 0.00105};
    const Vec3 out = photoMap(grey, s);
    const double target = targetBrightness(s, c.x);
    EXPECT_NEAR(out.x, target, kTol);
    EXPECT_NEAR(out.z, target - 99.9 * (c.x - c.z), kTol);
    // Black and negative maps stay finite.
    for (const Vec3 in : {Vec3{0, 0, 0}, Vec3{-1, -2, -3}}) {
        const Vec3 o = photoMap(in, s);
        EXPECT_TRUE(std::isfinite(o.x) && std::isfinite(o.y) && std::isfinite(o.z));
    }
}

TEST(PhotoMap, StrengthBlendsWithTheOriginal) {
    PhotoMapSettings s = fullStrength();
    const Vec3 in{0.2, 0.5, 0.9};
    const Vec3 full = photoMap(in, s);
    s.strength = 0.25;
    const Vec3 quarter = photoMap(in, s);
    EXPECT_NEAR(quarter.y, 0.25 * full.y + 0.75 * in.y, kTol);
    s.strength = 0.0;
    EXPECT_EQ(photoMap(in, s), in);
}

TEST(ShadowDarkening, BlendsByTheLitShareAndNeedsLight) {
    Vec3 out{0.8, 0.6, 0.4};
    EXPECT_FALSE(shadowDarkening(out, 0.0, 0.00009, {0, 0, 0}));
    EXPECT_EQ(out, (Vec3{0.8, 0.6, 0.4}));
    ASSERT_TRUE(shadowDarkening(out, 0.25, 1.0, {0.0, 0.0, 0.4}));
    EXPECT_NEAR(out.x, 0.2, kTol);
    EXPECT_NEAR(out.z, 0.4, kTol);
    Vec3 over{1, 1, 1};
    shadowDarkening(over, 5.0, 1.0, {0, 0, 0});  // more lit than total is fully lit
    EXPECT_EQ(over, (Vec3{1, 1, 1}));
}

TEST(ColourProcessing, ShiftsScalesAndDesaturatesWithDistance) {
    const Vec3 red{0.8, 0.1, 0.1};
    EXPECT_NEAR(processColour(red, {}, {}).x, 0.8, kTol);
    const Vec3 green = processColour(red, {120.0, 1.0, 1.0}, {});
    EXPECT_NEAR(green.y, 0.8, kTol);
    EXPECT_NEAR(processColour(red, {0.0, 1.0, 0.5}, {}).x, 0.4, kTol);
    // Saturation boosts stop at 1.
    EXPECT_NEAR(processColour(red, {0.0, 10.0, 1.0}, {}).y, 0.0, 1e-9);
    // Beyond the clip distance the saturation falls toward (1 - strength).
    const DistanceDesaturation far{1.0, 1000.0, 10.0, 1.0};
    const Hsv h = rgbToHsv(processColour(red, {}, far));
    EXPECT_NEAR(h.s, 0.0, 1e-9);
    const DistanceDesaturation near{1.0, 5.0, 10.0, 1.0};
    EXPECT_NEAR(processColour(red, {}, near).y, 0.1, kTol);
    // Black and negative channels are lifted to 1e-10 before the conversion.
    const Vec3 dark = processColour({-1.0, 0.0, 0.0}, {}, {});
    EXPECT_NEAR(dark.x, 1e-10, 1e-20);
}

}  // namespace
}  // namespace orvik
