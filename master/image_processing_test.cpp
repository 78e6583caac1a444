#include "master/image_processing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "master/rolloff.h"

namespace orvik {
namespace {

void expectColor(const double* c, double r, double g, double b, double tol) {
    EXPECT_NEAR(c[0], r, tol);
    EXPECT_NEAR(c[1], g, tol);
    EXPECT_NEAR(c[2], b, tol);
}

TEST(GammaBrightness, DefaultsAndNoMasterLeaveColourButClampNegatives) {
    const ImageSettings defaults;
    double c[3] = {0.2, 0.5, 0.9};
    applyGammaBrightness(&defaults, c);
    EXPECT_NEAR(c[0] / 0.2, 1.0, 1e-6);
    EXPECT_NEAR(c[1] / 0.5, 1.0, 1e-6);
    EXPECT_NEAR(c[2] / 0.9, 1.0, 1e-6);

    double n[3] = {-0.5, 0.3, 2.0};
    applyGammaBrightness(nullptr, n);
    expectColor(n, 0.0, 0.3, 2.0, 0.0);
}

TEST(GammaBrightness, WhiteGammaKeepsHueAndSkipsColoursWithoutSmallestChannel) {
    ImageSettings s;
    s.whiteGamma = 2.0;
    double red[3] = {0.8, 0.0, 0.0};
    applyGammaBrightness(&s, red);
    expectColor(red, 0.8, 0.0, 0.0, 0.0);

    double c[3] = {0.25, 0.5, 1.0};
    applyGammaBrightness(&s, c);
    // Smallest channel 0.25 follows (2m)^2 / 2 = 0.125: every channel halves.
    EXPECT_NEAR(c[0], 0.125, 1e-6);
    EXPECT_NEAR(c[1] / c[0], 2.0, 1e-5);
    EXPECT_NEAR(c[2] / c[0], 4.0, 1e-5);
}

TEST(GammaBrightness, ChannelGammaPivotsAtHalfAndBrightnessScales) {
    ImageSettings s;
    s.redGamma = 3.0;
    s.greenBright = 2.0;
    s.whiteBright = 0.5;
    double c[3] = {0.5, 0.5, 0.25};
    applyGammaBrightness(&s, c);
    EXPECT_NEAR(c[0], 0.25, 1e-6);   // 0.5 is the pivot; only white brightness scales it
    EXPECT_NEAR(c[1], 0.5, 1e-6);
    EXPECT_NEAR(c[2], 0.125, 1e-6);
}

TEST(GamutRolloff, OffOrWithoutMasterChangesNothing) {
    ImageSettings s;
    double c[3] = {3.0, 0.5, 0.1};
    applyGamutRolloff(&s, c);
    expectColor(c, 3.0, 0.5, 0.1, 0.0);
    applyGamutRolloff(nullptr, c);
    expectColor(c, 3.0, 0.5, 0.1, 0.0);
}

TEST(GamutRolloff, BelowStartUnchangedAboveNeverPastOne) {
    ImageSettings s;
    s.gamutClip = true;
    double low[3] = {0.5, 0.7, 0.1};
    applyGamutRolloff(&s, low);
    expectColor(low, 0.5, 0.7, 0.1, 1e-12);
    for (double h : {0.0, 0.5, 1.0}) {
        s.hueKeep = h;
        double c[3] = {5.0, 1.5, 0.9};
        applyGamutRolloff(&s, c);
        for (double v : c) EXPECT_LE(v, 1.0);
        EXPECT_GT(c[0], 0.95);
    }
}

TEST(GamutRolloff, FullHueKeepScalesUniformly) {
    ImageSettings s;
    s.gamutClip = true;
    s.hueKeep = 1.0;
    double c[3] = {2.0, 1.0, 0.5};
    applyGamutRolloff(&s, c);
    EXPECT_NEAR(c[0], rolloff(2.0, 0.7, 0.701), 1e-12);
    EXPECT_NEAR(c[1] / c[0], 0.5, 1e-12);
    EXPECT_NEAR(c[2] / c[0], 0.25, 1e-12);
}

TEST(GamutGraph, FollowsCurveWhenOnAndClipsWhenOff) {
    const GamutGraph off = gamutGraphPoints(false, 0.7, 0.7);
    EXPECT_DOUBLE_EQ(off.x[0], 0.0);
    EXPECT_NEAR(off.x[74], 2.0, 1e-12);
    EXPECT_NEAR(off.y[37], 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(off.y[74], 1.0);
    const GamutGraph on = gamutGraphPoints(true, 0.7, 0.7);
    EXPECT_NEAR(on.y[20], 20.0 / 37.0, 1e-12);
    EXPECT_NEAR(on.y[60], rolloff(60.0 / 37.0, 0.7, 0.7 * 0.998 + 0.001), 1e-12);
    EXPECT_LT(on.y[74], 1.0);
}

TEST(FilmGrain, ZeroAmplitudesOnlyClampNegatives) {
    ImageSettings s;
    s.grain = true;
    s.redConst = s.redProp = s.greenConst = s.greenProp = 0.0;
    s.blueConst = s.blueProp = s.whiteConst = s.whiteProp = 0.0;
    double c[3] = {0.4, -0.1, 0.8};
    applyFilmGrain(&s, 13.0, 7.0, 3.0, c);
    expectColor(c, 0.4, 0.0, 0.8, 0.0);
}

TEST(FilmGrain, VariesOverPixelsAndFramesOnlyWhenAnimated) {
    ImageSettings s;
    s.grain = true;
    s.grainClip = false;
    auto at = [&](double x, double y, double frame) {
        double c[3] = {0.5, 0.5, 0.5};
        applyFilmGrain(&s, x, y, frame, c);
        return c[0];
    };
    double spread = 0.0;
    for (int x = 0; x < 50; ++x) spread = std::max(spread, std::fabs(at(x, 3, 0) - 0.5));
    EXPECT_GT(spread, 0.001);
    EXPECT_LT(spread, 0.2);
    EXPECT_NE(at(10.3, 4.7, 0), at(10.3, 4.7, 1));
    s.grainAnimated = false;
    EXPECT_EQ(at(10.3, 4.7, 0), at(10.3, 4.7, 1));
}

TEST(FilmGrain, ClipRemovesOwnGrainAboveLevelPlusWidth) {
    ImageSettings s;
    s.grain = true;
    s.whiteConst = s.whiteProp = 0.0;  // keep only each channel's own variation
    for (int x = 0; x < 20; ++x) {
        double c[3] = {1.2, 1.5, 0.3};
        applyFilmGrain(&s, x * 1.7, 5.0, 0.0, c);
        EXPECT_EQ(c[0], 1.2);
        EXPECT_EQ(c[1], 1.5);
    }
    s.grainClip = false;
    bool changed = false;
    for (int x = 0; x < 20; ++x) {
        double c[3] = {1.2, 1.5, 0.3};
        applyFilmGrain(&s, x * 1.7, 5.0, 0.0, c);
        changed = changed || c[0] != 1.2;
    }
    EXPECT_TRUE(changed);
}

TEST(FilmGrain, TransitionWidthFadesAmplitudeLinearly) {
    ImageSettings s;
    s.grain = true;
    s.whiteConst = s.whiteProp = 0.0;
    auto redGrain = [&](double red) {
        double c[3] = {red, 0.0, 0.0};
        applyFilmGrain(&s, 21.0, 9.0, 0.0, c);
        return c[0] - red;
    };
    s.grainClip = false;
    const double full = redGrain(0.95);
    ASSERT_NE(full, 0.0);
    s.grainClip = true;
    EXPECT_NEAR(redGrain(0.95), full * 0.5, 1e-12);  // a quarter past the level, half the width
    EXPECT_NEAR(redGrain(0.7), full * (0.0075 * 0.7 + 0.006) / (0.0075 * 0.95 + 0.006), 1e-12);
}

TEST(FilmGrain, RelativeScaleMapsToReferenceWidth) {
    ImageSettings s;
    double x = 320.0, y = 100.0;
    grainPosition(s, 1280.0, x, y);
    EXPECT_EQ(x, 320.0);
    s.grainRelative = true;
    grainPosition(s, 1280.0, x, y);
    EXPECT_DOUBLE_EQ(x, 160.0);
    EXPECT_DOUBLE_EQ(y, 50.0);
    grainPosition(s, 0.0, x, y);  // no frame width: left alone rather than divided by zero
    EXPECT_DOUBLE_EQ(x, 160.0);
}

TEST(ProcessPixel, WithoutMasterOnlyClamps) {
    double c[3] = {-1.0, 0.5, 4.0};
    processPixel(nullptr, 1, 2, 3, 640, c);
    expectColor(c, 0.0, 0.5, 4.0, 0.0);
}

TEST(DistanceDesaturation, ZeroDesaturationOrNoMasterOnlyClamps) {
    ImageSettings s;
    EXPECT_DOUBLE_EQ(distanceDesaturation(&s, 0.6, 1e6, 1.0), 0.6);
    EXPECT_DOUBLE_EQ(distanceDesaturation(nullptr, 0.6, 1e6, 1.0), 0.6);
    EXPECT_DOUBLE_EQ(distanceDesaturation(nullptr, 1.4, 0.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(distanceDesaturation(&s, -0.1, 0.0, 1.0), 0.0);
}

TEST(DistanceDesaturation, FadesBeyondClipDistance) {
    ImageSettings s;
    s.desaturation = 0.5;
    s.clipDistance = 2.0;
    s.falloffDistance = 1.0;
    EXPECT_DOUBLE_EQ(distanceDesaturation(&s, 0.8, 1.5, 1.0), 0.8);
    EXPECT_NEAR(distanceDesaturation(&s, 0.8, 3.0, 1.0), 0.8 * (0.5 + 0.5 * std::exp(-1.0)), 1e-12);
    EXPECT_NEAR(distanceDesaturation(&s, 0.8, 3.0, 0.0), 0.8, 1e-12);  // surface opts out
    s.falloffDistance = 0.0;  // treated as a vanishing falloff: full desaturation past the clip
    EXPECT_NEAR(distanceDesaturation(&s, 0.8, 2.001, 1.0), 0.4, 1e-12);
}

}  // namespace
}  // namespace orvik
