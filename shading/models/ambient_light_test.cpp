#include "shading/models/ambient_light.h"

#include <gtest/gtest.h>

#include "shading/models/back_facing.h"
#include "shading/models/colour_tag.h"

namespace orvik {
namespace {

TEST(AmbientGradient, TopHorizonAndBottom) {
    const Vec3 top{255, 0, 0}, mid{0, 255, 0}, bottom{0, 0, 255};
    EXPECT_EQ(ambientGradient(1.0, top, mid, bottom), (Vec3{1, 0, 0}));
    EXPECT_EQ(ambientGradient(0.0, top, mid, bottom), (Vec3{0, 1, 0}));
    EXPECT_EQ(ambientGradient(-1.0, top, mid, bottom), (Vec3{0, 0, 1}));
    const Vec3 half = ambientGradient(0.5, top, mid, bottom);
    EXPECT_NEAR(half.x, 0.5, 1e-12);
    EXPECT_NEAR(half.x + half.y, 1.0, 1e-12);
}

TEST(GlobalIlluminationScale, ContrastOfOneHalfIsLinear) {
    EXPECT_NEAR(globalIlluminationScale(0.8, 0.3, 0.5), 0.8, 1e-12);
    EXPECT_EQ(globalIlluminationScale(0.8, 0.0, 1.0), 0.8);
    // More contrast darkens dim bounce light and brightens strong bounce light.
    EXPECT_LT(globalIlluminationScale(1.0, 0.1, 1.0), 1.0);
    EXPECT_GT(globalIlluminationScale(1.0, 2.0, 1.0), 1.0);
}

TEST(BackFacing, WindingAgainstTheGeometricNormal) {
    // Counter-clockwise seen from +Y.
    const Vec3 quad[4] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
    EXPECT_GT(newellNormal(quad).y, 0.0);
    EXPECT_FALSE(isBackFacing(quad, {0, 1, 0}));
    EXPECT_TRUE(isBackFacing(quad, {0, -1, 0}));
    const Vec3 triangle[4] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    EXPECT_FALSE(isBackFacing(triangle, {0, 1, 0}));
}

TEST(ColourTag, TagsSurviveAndAreRecognised) {
    const float r = tagComponent(0.75, kTagRed), g = tagComponent(0.1, kTagGreen), b = tagComponent(12.5, kTagBlue);
    EXPECT_TRUE(carriesModuleTags(r, g, b));
    EXPECT_NEAR(r, 0.75, 0.75 * 1e-6);
    EXPECT_NEAR(b, 12.5, 12.5 * 1e-6);
    EXPECT_FALSE(carriesModuleTags(0.75f, 0.1f, 12.5f));
    EXPECT_FALSE(carriesModuleTags(g, r, b));
}

}  // namespace
}  // namespace orvik
