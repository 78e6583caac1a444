#include "shading/models/absorption.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shading/models/light_thickness.h"
#include "shading/models/skin_colour.h"

namespace orvik {
namespace {

const Vec3 kWhite{1, 1, 1};

AbsorptionSettings whiteGlass(double falloff, double contrast) {
    AbsorptionSettings s;
    s.surfaceShare = 1.0;
    s.falloffDistance = falloff;
    s.contrast = contrast;
    return s;
}

TEST(Absorption, NoContrastHardlyDependsOnDistance) {
    const AbsorptionSettings s = whiteGlass(0.5, 0.0);
    EXPECT_NEAR(absorption(0.5, kWhite, s).x, 0.790, 0.001);
    EXPECT_NEAR(absorption(50.0, kWhite, s).x, 0.774, 0.001);
    // At distance 0 the full base colour passes.
    EXPECT_NEAR(absorption(0.0, {0.2, 0.4, 0.6}, s).z, 0.6, 1e-12);
}

TEST(Absorption, ContrastShapesTheCurveAndCutsItOffAtFive) {
    const AbsorptionSettings s = whiteGlass(0.5, 0.5);
    EXPECT_NEAR(absorption(0.5, kWhite, s).x, 0.476, 0.001);
    EXPECT_NEAR(absorption(1.0, kWhite, s).x, 0.163, 0.001);
    EXPECT_EQ(absorption(2.5, kWhite, s), (Vec3{}));  // x = 5.12
    EXPECT_EQ(absorption(1e9, kWhite, s), (Vec3{}));
    // The curve never grows with distance.
    double previous = 2.0;
    for (double d = 0.0; d < 3.0; d += 0.01) {
        const double a = absorption(d, kWhite, s).x;
        EXPECT_LE(a, previous + 1e-12);
        EXPECT_GE(a, 0.0);
        previous = a;
    }
}

TEST(Absorption, ColourAndComplementaryComponent) {
    AbsorptionSettings s = whiteGlass(1.0, 0.5);
    s.surfaceShare = 0.0;
    s.colour = {1.0, 0.5, 0.0};
    const Vec3 a = absorption(0.2, kWhite, s);
    EXPECT_NEAR(a.y, 0.5 * a.x, 1e-12);
    EXPECT_EQ(a.z, 0.0);
    // Near the surface the complementary colour (1 - base) adds in, with its own reach.
    s.complementary = 0.5;
    const Vec3 c = absorption(0.2, kWhite, s);
    EXPECT_GT(c.z, 0.0);
    EXPECT_EQ(absorption(0.2 + 5.0 * 0.25, kWhite, s).z, 0.0);
    // A falloff distance of 0 absorbs everything; a negative path is a path of length 0.
    s.falloffDistance = 0.0;
    EXPECT_EQ(absorption(1.0, kWhite, s), (Vec3{}));
    EXPECT_TRUE(std::isfinite(absorption(-1.0, kWhite, whiteGlass(1.0, 0.5)).x));
}

TEST(TransmissionTint, AMissIsNotAbsorbed) {
    const AbsorptionSettings s = whiteGlass(0.5, 0.5);
    EXPECT_EQ(transmissionTint(-99.0, {0.3, 0.6, 0.9}, 0.0, 1.0, s), kWhite);
    // The colour filter tints by the surface colour, the absorption on top of it.
    const Vec3 t = transmissionTint(-1.0, {0.3, 0.6, 0.9}, 1.0, 1.0, s);
    EXPECT_NEAR(t.x, 0.3, 1e-12);
    const Vec3 thick = transmissionTint(1.0, kWhite, 0.0, 0.5, s);
    EXPECT_NEAR(thick.x, absorption(1.0, kWhite, s).x * 0.5 + 0.5, 1e-12);
}

TEST(LightThickness, DistantLightCastsFromFarAlongTheLight) {
    const ThicknessCast cast = thicknessCastStart({1, 2, 3}, {0, 1, 0}, true, {}, 0.5);
    EXPECT_NEAR(cast.distance, 0.5 * 30 + 10, 1e-12);
    EXPECT_NEAR(cast.start.y, 2.0 + 25.0, 1e-12);
    const ThicknessCast point = thicknessCastStart({0, 0, 0}, {0, 1, 0}, false, {0, 3, 4}, 0.5);
    EXPECT_NEAR(point.distance, 5.0, 1e-12);
    EXPECT_NEAR(thicknessFromCast(25.0, 24.0), 1.0, 1e-12);
    EXPECT_EQ(thicknessFromCast(25.0, 25.0), kNoThickness);    // hit at the point itself
    EXPECT_EQ(thicknessFromCast(25.0, -1.0), kNoThickness);    // nothing hit
    EXPECT_EQ(thicknessFromCast(2e6, 1e6), kNoThickness);      // beyond the farthest valid hit
}

TEST(SkinColour, EpidermisShowsTowardTheSilhouette) {
    SkinSettings s;
    s.scattering = 1.0;
    s.visibility = 1.0;
    s.layer = 1.0;
    const Vec3 up{0, 1, 0}, colour{0.8, 0.6, 0.5};
    // Facing the viewer the colour stays as it is.
    const Vec3 facing = skinColour(colour, up, up, up, s);
    EXPECT_NEAR(facing.x, colour.x, 1e-9);
    // At the silhouette the epidermis e is recovered from colour = (1 - e) epidermis + e blood.
    const Vec3 edge = skinColour(colour, up, up, {1, 0, 0}, s);
    const double e = (1.0 - std::exp(-10.0)) * 0.5;
    EXPECT_NEAR((1.0 - e) * edge.y + e * s.bloodColour.y, colour.y, 1e-6);
    s.visibility = 0.001;
    EXPECT_EQ(skinColour(colour, up, up, {1, 0, 0}, s), colour);
}

}  // namespace
}  // namespace orvik
