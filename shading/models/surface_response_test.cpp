#include "shading/models/surface_response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "shading/models/anisotropy_angle.h"
#include "shading/models/bias.h"
#include "shading/models/glossiness.h"
#include "shading/models/specular_response.h"
#include "shading/models/tangent_frame.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-12;
const Vec3 kUp{0.0, 1.0, 0.0};
const Vec3 kWhite{1.0, 1.0, 1.0};

Vec3 direction(double thetaDegrees, double phiDegrees) {
    const double t = thetaDegrees * std::numbers::pi / 180.0, p = phiDegrees * std::numbers::pi / 180.0;
    return {std::sin(t) * std::cos(p), std::cos(t), std::sin(t) * std::sin(p)};
}

SurfacePoint flatPoint(Vec3 colour) {
    SurfacePoint p;
    p.normal0 = kUp;
    p.normal = kUp;
    p.colour = colour;
    return p;
}

TEST(OrenNayarPreparation, SmoothSurfaceIsLambert) {
    const OrenNayarCoefficients on = prepareOrenNayar(0.0);
    EXPECT_EQ(on.a, 1.0);
    EXPECT_EQ(on.b, 0.0);
    EXPECT_EQ(on.c, 0.0);
    EXPECT_EQ(on.d, 0.0);
}

TEST(RoughDiffuse, SmoothSurfaceGivesTheShapedLambertTerm) {
    SurfaceModel model;
    model.terminatorSharpness = 0.5;
    const SurfacePoint point = flatPoint({0.8, 0.5, 0.2});
    const Vec3 v = direction(20, 0), l = direction(50, 120);
    const SurfaceResponse r = surfaceResponse(model, point, v, l, 0.7, 0.0, 1.0, 0.0);
    const double shaped = bias(dot(kUp, l), 0.75);
    EXPECT_TRUE(r.lit);
    EXPECT_NEAR(r.rgb.x, shaped * 0.8 * 0.7, kTol);
    EXPECT_NEAR(r.rgb.z, shaped * 0.2 * 0.7, kTol);
}

TEST(RoughDiffuse, SmoothSurfaceNeverExceedsLambertForWhiteLight) {
    // Views steeper than 88 degrees, where the normal is never bent toward the viewer.
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> theta(0.0, 88.0), phi(0.0, 360.0);
    for (double sharpness : {0.0, -0.5, -1.0}) {
        SurfaceModel model;
        model.terminatorSharpness = sharpness;
        const SurfacePoint point = flatPoint(kWhite);
        for (int i = 0; i < 500; ++i) {
            const Vec3 v = direction(theta(gen), phi(gen)), l = direction(theta(gen), phi(gen));
            const SurfaceResponse r = surfaceResponse(model, point, v, l, 1.0, 0.0, 1.0, 0.0);
            EXPECT_LE(r.rgb.x, dot(kUp, l) + kTol);
        }
    }
}

TEST(RoughDiffuse, LightAtTheTerminatorGivesNothingWithoutRim) {
    SurfaceModel model;
    const SurfaceResponse r = surfaceResponse(model, flatPoint(kWhite), direction(30, 180), {1.0, 0.0, 0.0}, 1, 0, 1, 0);
    EXPECT_FALSE(r.lit);
    EXPECT_EQ(r.rgb, (Vec3{}));
    // With rim lighting a light just behind the terminator, shining toward the viewer, wraps around.
    model.rim = 1.0;
    const SurfaceResponse rim = surfaceResponse(model, flatPoint(kWhite), direction(30, 180), direction(95, 0), 1, 0, 1, 0);
    EXPECT_TRUE(rim.lit);
    EXPECT_GT(rim.rgb.x, 0.0);
}

TEST(RoughDiffuse, HeadOnRoughSurfaceIsDarkerThanLambertByA) {
    // Seen and lit along the normal every angular term vanishes: (D w c + A) c w.
    SurfaceModel model;
    model.orenNayar = prepareOrenNayar(0.5);
    const double a = 1.0 - 0.5 * 0.35 / (0.35 + 0.33), d = 0.17 * 0.35 / (0.35 + 0.13);
    const SurfaceResponse r = surfaceResponse(model, flatPoint({0.8, 0.8, 0.8}), kUp, kUp, 1.0, 0.0, 1.0, 0.0);
    EXPECT_NEAR(r.rgb.x, (d * 0.8 + a) * 0.8, 1e-9);
}

TEST(RoughDiffuse, RoughSurfaceScattersBackTowardTheLight) {
    // The characteristic of rough surfaces: brighter seen from the light's side than from the mirror side.
    SurfaceModel model;
    model.orenNayar = prepareOrenNayar(1.0);
    const SurfacePoint point = flatPoint({0.7, 0.7, 0.7});
    const Vec3 l = direction(60, 0);
    const double back = surfaceResponse(model, point, direction(60, 0), l, 1, 0, 1, 0).rgb.x;
    const double forward = surfaceResponse(model, point, direction(60, 180), l, 1, 0, 1, 0).rgb.x;
    EXPECT_GT(back, forward);
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> theta(0.0, 89.0), phi(0.0, 360.0);
    for (int i = 0; i < 300; ++i) {
        const Vec3 rgb = surfaceResponse(model, point, direction(theta(gen), phi(gen)), direction(theta(gen), phi(gen)),
                                         1, 0, 1, 0).rgb;
        EXPECT_TRUE(std::isfinite(rgb.x));
        EXPECT_GE(rgb.x, 0.0);
    }
}

TEST(HostTranslucency, LightFromBehindUnlessReplaced) {
    SurfaceModel model;
    SurfacePoint point = flatPoint({0.5, 1.0, 0.5});
    point.translucency = 0.4;
    const Vec3 l = direction(120, 0);  // cosine -0.5
    const SurfaceResponse r = surfaceResponse(model, point, direction(10, 0), l, 1, 0, 1, 0);
    EXPECT_TRUE(r.lit);
    EXPECT_NEAR(r.rgb.y, 0.4 * 0.5, kTol);
    model.hostTranslucencyOff = true;
    EXPECT_FALSE(surfaceResponse(model, point, direction(10, 0), l, 1, 0, 1, 0).lit);
}

TEST(SpecularPreparation, ActiveLayersPackInOrder) {
    SpecularLayerSettings settings[3];
    settings[0].strength = 0.0;
    settings[1].strength = 0.00005;  // at or below 0.0001 counts as off
    settings[2].strength = 0.5;
    settings[2].retro = 0.3;
    SpecularLayer layers[3];
    ASSERT_EQ(prepareSpecularLayers(settings, layers), 1);
    EXPECT_EQ(layers[0].retro, 0.3);
    settings[2].strength = 0.0;
    EXPECT_EQ(prepareSpecularLayers(settings, layers), 0);
}

TEST(SpecularPreparation, ClampsAndScales) {
    SpecularLayerSettings s;
    s.glossBias = 0.0;
    EXPECT_EQ(prepareSpecularLayer(s).glossBias, 0.001);
    s.glossBias = 1.0;
    EXPECT_EQ(prepareSpecularLayer(s).glossBias, 0.999);
    s.strength = 2.0;
    s.surfaceColourTint = 0.25;
    s.colour[0] = 255;
    s.colour[1] = 0;
    s.anisotropyAngleDegrees = 90.0;
    const SpecularLayer layer = prepareSpecularLayer(s);
    EXPECT_NEAR(layer.surfaceTint, 2.0 * 0.1125 * 0.25, kTol);
    EXPECT_NEAR(layer.colourWeight[0], 0.75 * 2.0 * 0.1125, kTol);
    EXPECT_EQ(layer.colourWeight[1], 0.0);
    EXPECT_NEAR(layer.angleRadians, std::numbers::pi / 2.0, kTol);
    s.gloss = 1.01;  // roughness 0: the unused inverse stays finite
    EXPECT_TRUE(std::isfinite(prepareSpecularLayer(s).inverseRoughness2));
}

// A layer whose highlight is plain white and whose gloss shaping is neutral (G = 0: peak 7, sharpness 1).
SpecularLayer plainLayer(double glossBias) {
    SpecularLayer layer;
    layer.gloss = 0.0;
    layer.glossBias = glossBias;
    layer.colourWeight[0] = layer.colourWeight[1] = layer.colourWeight[2] = 1.0;
    return layer;
}

SpecularInputs headOnInputs(Vec3 l) {
    SpecularInputs in;
    in.normal = kUp;
    in.viewCosine = 1.0;
    in.view = kUp;
    in.light = l;
    in.halfVector = normalize(in.view + l);
    in.glossiness = 0.6;
    in.colour = kWhite;
    return in;
}

TEST(SpecularLayer, GlossBiasOfOneHalfGivesTheExponentialLobe) {
    const Vec3 l = direction(40, 0);
    const SpecularInputs in = headOnInputs(l);
    const double c = dot(kUp, in.halfVector);
    const double e = 1.0 / (c * c) - 1.0;
    Vec3 rgb;
    ASSERT_TRUE(specularLayerResponse(plainLayer(0.5), in, rgb));
    EXPECT_NEAR(rgb.x, std::exp(-e) * 7.0 * dot(kUp, l), 1e-12);
    // A bias of 0.25 takes the square root of the exponent.
    Vec3 softer;
    specularLayerResponse(plainLayer(0.25), in, softer);
    EXPECT_NEAR(softer.x, std::exp(-std::sqrt(e)) * 7.0 * dot(kUp, l), 1e-12);
}

TEST(SpecularLayer, NegativeGlossRemovesTheGlossShaping) {
    const SpecularInputs in = headOnInputs(direction(25, 0));
    SpecularLayer negative = plainLayer(0.5);
    negative.gloss = -1.0;
    Vec3 a, b;
    specularLayerResponse(negative, in, a);
    specularLayerResponse(plainLayer(0.5), in, b);
    EXPECT_EQ(a, b);
    // A positive gloss narrows the lobe: away from the peak it falls off faster.
    SpecularLayer glossy = plainLayer(0.5);
    glossy.gloss = 1.0;
    Vec3 g;
    specularLayerResponse(glossy, headOnInputs(direction(60, 0)), g);
    Vec3 plain;
    specularLayerResponse(plainLayer(0.5), headOnInputs(direction(60, 0)), plain);
    EXPECT_LT(g.x, plain.x);
}

TEST(SpecularLayer, NoSpecularAtZeroStrength) {
    SurfaceModel model;
    SpecularLayerSettings s;
    s.strength = 0.0;
    const SpecularLayer zero = prepareSpecularLayer(s);
    model.layers = std::span<const SpecularLayer>(&zero, 1);
    const SurfacePoint point = flatPoint(kWhite);
    const Vec3 v = direction(30, 0), l = direction(30, 180);  // mirror configuration
    const Vec3 with = surfaceResponse(model, point, v, l, 1, 1, 1, 0).rgb;
    model.layers = {};
    EXPECT_EQ(with, surfaceResponse(model, point, v, l, 1, 1, 1, 0).rgb);
}

TEST(SpecularLayer, HalfVectorBelowTheNormalGivesNoHighlight) {
    SpecularInputs in = headOnInputs(direction(100, 0));
    in.view = direction(89.9, 180);
    in.viewCosine = dot(in.view, kUp);
    in.halfVector = normalize(in.view + in.light);
    in.rim = -1.5;  // strong rim wrap lets the light reach the layer
    Vec3 rgb;
    EXPECT_TRUE(specularLayerResponse(plainLayer(0.5), in, rgb));
    EXPECT_EQ(rgb, (Vec3{}));
}

TEST(SpecularLayer, AnisotropyStretchesAcrossItsDirection) {
    // Tangent direction along world X at angle 0 for the up normal with angle offset chosen to match.
    const TangentFrame f = orthonormalBasis(kUp);
    SpecularLayer layer = plainLayer(0.5);
    layer.anisotropy = 1.0;
    const double along = std::atan2(dot({1, 0, 0}, f.b2), dot({1, 0, 0}, f.b1));
    Vec3 tiltedAlong, tiltedAcross;
    SpecularInputs in = headOnInputs(direction(30, 0));  // half vector tilts toward +X
    in.anisotropyAngle = along;
    specularLayerResponse(layer, in, tiltedAlong);
    in.anisotropyAngle = along + std::numbers::pi / 2.0;
    specularLayerResponse(layer, in, tiltedAcross);
    EXPECT_GT(tiltedAcross.x, tiltedAlong.x);
}

TEST(AnisotropyAngle, TangentFollowsTheRotatedObjectAxis) {
    Rotation3 turn;  // a quarter turn about Y: object X becomes world -Z
    turn.rows[0] = {0, 0, 1};
    turn.rows[1] = {0, 1, 0};
    turn.rows[2] = {-1, 0, 0};
    const double angle = anisotropyAngle(AnisotropyType::Linear, 0, {}, turn, kUp);
    const Vec3 t = tangentAt(kUp, angle);
    EXPECT_NEAR(t.x, 0.0, kTol);
    EXPECT_NEAR(t.z, -1.0, kTol);
    // Cylindrical about Y: the direction points away from the axis, whatever the height.
    const double c = anisotropyAngle(AnisotropyType::Cylindrical, 1, {0.0, 5.0, 2.0}, Rotation3{}, kUp);
    EXPECT_NEAR(tangentAt(kUp, c).z, 1.0, kTol);
}

TEST(Glossiness, RoughnessRoundTripAndSpecularClamp) {
    for (double rho : {1e-6, 0.01, 0.5, 1.0, 40.0}) {
        EXPECT_NEAR(roughnessFromGlossiness(glossinessFromRoughness(rho)) / rho, 1.0, 1e-9);
    }
    EXPECT_EQ(specularGlossiness(1e6), 1e-5);
    EXPECT_EQ(specularGlossiness(0.0), 0.9999);
    EXPECT_NEAR(specularGlossiness(roughnessFromGlossiness(0.5)), 0.5 * 0.97, 1e-7);
}

}  // namespace
}  // namespace orvik
