#include "shading/models/edge_colour.h"

#include <gtest/gtest.h>

#include <string>

#include "shading/models/edge_weight.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-12;

TEST(EdgeWeight, SharpnessZeroLeavesEveryChannelAlone) {
    for (double s : {0.0, 0.0001, -0.0001}) {
        for (double e : {0.0, 0.5, 1.0}) {
            const double w = edgeWeight(e, s);
            EXPECT_EQ(w, 0.0);
            for (EdgeMode mode : {EdgeMode::Multiply, EdgeMode::Add, EdgeMode::Replace}) {
                EXPECT_EQ(applyEdgeMode(mode, 0.37, w, 5.0), 0.37);
            }
        }
    }
}

TEST(EdgeWeight, SignChoosesSilhouetteOrCentre) {
    EXPECT_EQ(edgeWeight(0.0, 0.5), 0.0);
    EXPECT_EQ(edgeWeight(1.0, 0.5), 1.0);
    // Negative: strongest facing the viewer.
    EXPECT_EQ(edgeWeight(0.0, -0.5), 1.0);
    EXPECT_EQ(edgeWeight(1.0, -0.5), 0.0);
    EXPECT_GT(edgeWeight(0.2, -0.5), edgeWeight(0.8, -0.5));
    EXPECT_NEAR(edgeWeight(0.3, 0.5), 0.3 / (0.7 * (1.0 / 0.5 - 2.0) + 1.0), kTol);
}

TEST(EdgeWeight, EdgeFactorAndBumpScale) {
    const Vec3 up{0, 1, 0};
    EXPECT_NEAR(edgeFactor(up, up, 0.0, up), 0.0, kTol);
    EXPECT_NEAR(edgeFactor(up, up, 0.0, {1, 0, 0}), 1.0, kTol);
    // A view from behind counts as the silhouette, never beyond it.
    EXPECT_NEAR(edgeFactor(up, up, 0.0, {0, -1, 0}), 1.0, kTol);
    EXPECT_NEAR(edgeBumpScale(0.0, 0.5, 3.0, 2.0), 2.0, kTol);
    EXPECT_NEAR(edgeBumpScale(1.0, 0.5, 3.0, 2.0), 6.0, kTol);
}

TEST(EdgeColour, NeutralSettingsSkipTheHsvRoundTrip) {
    // A colour outside the hexcone would not survive a round trip through HSV.
    const Vec3 odd{-0.2, 0.5, 1.7};
    EdgeColourSettings s;
    s.hueShift = 0.004;  // within the neutral tolerance
    EXPECT_EQ(edgeColour(odd, 0.7, s, 0), odd);
    s.hueShift = 30.0;
    EXPECT_NE(edgeColour(odd, 0.7, s, 0), odd);
}

TEST(EdgeColour, HueShiftGrowsTowardTheCentreOfView) {
    EdgeColourSettings s;
    s.hueShift = 120.0;
    s.hueSharpness = 0.5;
    // The colour stages take e2 = 1 - e^2: at e = 0 (facing) the full shift, at e = 1 none.
    const Vec3 facing = edgeColour({1, 0, 0}, 0.0, s, 0);
    EXPECT_NEAR(facing.y, 1.0, kTol);
    EXPECT_NEAR(facing.x, 0.0, kTol);
    const Vec3 silhouette = edgeColour({1, 0, 0}, 1.0, s, 0);
    EXPECT_NEAR(silhouette.x, 1.0, kTol);
}

TEST(EdgeColour, SameObjectNameSameVariation) {
    EdgeColourSettings s;
    s.hueVary = 90.0;
    s.saturationVary = 0.5;
    s.valueVary = 0.5;
    const Vec3 colour{0.6, 0.4, 0.2};
    const Vec3 a = edgeColour(colour, 0.3, s, objectNameHash("Leaf"));
    EXPECT_EQ(a, edgeColour(colour, 0.9, s, objectNameHash(std::string("Leaf"))));
    EXPECT_NE(a, edgeColour(colour, 0.3, s, objectNameHash("Leaf2")));
    EXPECT_NE(a, colour);
    EXPECT_EQ(objectNameHash(""), 0x12345678u);
    // Only the first 255 characters of a name count.
    const std::string base(255, 'x');
    EXPECT_EQ(objectNameHash(base + "a"), objectNameHash(base + "b"));
    EXPECT_NE(objectNameHash(base.substr(1) + "a"), objectNameHash(base.substr(1) + "b"));
}

TEST(EdgeColour, TintsApplyColourTwoThenColourOne) {
    EdgeColourSettings s;
    s.tint2 = 1.0;
    s.tint2Sharpness = 0.5;
    s.tint2Colour = {0, 0, 1};
    s.tint1 = 0.5;
    s.tint1Sharpness = 0.5;
    s.tint1Colour = {1, 0, 0};
    // Facing the viewer both weights are 1: tint 2 replaces, tint 1 then mixes half.
    const Vec3 c = edgeColour({0, 1, 0}, 0.0, s, 0);
    EXPECT_NEAR(c.x, 0.5, kTol);
    EXPECT_NEAR(c.y, 0.0, kTol);
    EXPECT_NEAR(c.z, 0.5, kTol);
}

}  // namespace
}  // namespace orvik
