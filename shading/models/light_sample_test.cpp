#include "shading/models/light_sample.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvik {
namespace {

constexpr double kTol = 1e-12;

LightGeometry pointAt(Vec3 position) {
    LightGeometry l;
    l.origin = position;
    l.colour = {1.0, 0.5, 0.25};
    l.shadowColour = {0.2, 0.2, 0.2};
    return l;
}

TEST(SampleLight, DistantLightShinesAlongItsAxisUnweakened) {
    LightGeometry l = pointAt({100, 100, 100});
    l.type = LightType::Distant;
    l.forward = normalize({1, -1, 1});
    const LightSample s = sampleLight(l, {5, 0, 0}, 0.5, 0.5);
    EXPECT_EQ(s.direction, -l.forward);
    EXPECT_EQ(s.colour, l.colour);
    EXPECT_EQ(s.distance, 1.0);
}

TEST(SampleLight, RangeAndFalloffWeakenBothColours) {
    LightGeometry l = pointAt({0, 4, 0});
    l.range = 8.0;
    l.flags = kLightLimitedRange;
    LightSample s = sampleLight(l, {0, 0, 0}, 0.5, 0.5);
    EXPECT_NEAR(s.distance, 4.0, kTol);
    EXPECT_NEAR(s.colour.x, 0.5, kTol);
    EXPECT_NEAR(s.shadowColour.x, 0.1, kTol);
    l.flags = 0;
    l.falloff = kFalloffInverseDistanceSquared;
    s = sampleLight(l, {0, 0, 0}, 0.5, 0.5);
    EXPECT_NEAR(s.colour.x, 4.0, 1e-9);  // range^2 / distance^2
    // At the light itself the sample stays finite.
    s = sampleLight(l, {0, 4, 0}, 0.5, 0.5);
    EXPECT_TRUE(std::isfinite(s.colour.x));
}

TEST(SampleLight, SpotConeAndProjectionImage) {
    LightGeometry l = pointAt({0, 10, 0});
    l.type = LightType::Spot;
    l.forward = {0, -1, 0};
    l.right = {1, 0, 0};
    l.up = {0, 0, 1};
    l.cosOuter = std::cos(0.5);
    l.cosInner = std::cos(0.4);
    EXPECT_EQ(sampleLight(l, {0, 0, 0}, 0.5, 0.5).colour, l.colour);
    EXPECT_EQ(sampleLight(l, {10, 0, 0}, 0.5, 0.5).colour, (Vec3{}));
    // A 2 x 2 image: left half red, right half blue, seen from the light.
    const ProjectionImageView image{2, 2, nullptr, [](const void*, int column, int) {
                                        return column == 0 ? Vec3{1, 0, 0} : Vec3{0, 0, 1};
                                    }};
    l.projection = &image;
    // A point to the light's right: L points left of the axis, so x = -(right . L) > 0.
    const LightSample right = sampleLight(l, {2, 0, 0}, 0.5, 0.5);
    EXPECT_EQ(right.colour.x, 0.0);
    EXPECT_NEAR(right.colour.z, 0.25, kTol);
    // Outside the projected square the point gets no light, not even shadow light.
    const LightSample outside = sampleLight(l, {20, 0, 0}, 0.5, 0.5);
    EXPECT_EQ(outside.shadowColour, (Vec3{}));
    // An image too wide to use falls back to the cone.
    const ProjectionImageView wide{9001, 2, nullptr, image.pixel};
    l.projection = &wide;
    EXPECT_EQ(sampleLight(l, {2, 0, 0}, 0.5, 0.5).colour, l.colour);
}

TEST(SampleLight, AreaAndLinearEmitters) {
    LightGeometry area = pointAt({-1, 3, -1});
    area.type = LightType::Area;
    area.forward = {0, -1, 0};
    area.edgeU = {2, 0, 0};
    area.edgeV = {0, 0, 2};
    area.edgeULengthSquared = area.edgeVLengthSquared = 4.0;
    const LightSample below = sampleLight(area, {0, 0, 0}, 0.5, 0.5);
    EXPECT_NEAR(below.distance, 3.0, kTol);
    EXPECT_NEAR(below.colour.x, 1.0, kTol);
    const LightParameter foot = lightFootPoint(area, {0.5, 0, -2});
    EXPECT_NEAR(foot.u, 0.75, kTol);
    EXPECT_EQ(foot.v, 0.0);
    LightGeometry tube = area;
    tube.type = LightType::Linear;
    tube.forward = {1, 0, 0};
    // Seen side-on a tube emits fully; the foot point's v stays in the middle.
    EXPECT_NEAR(sampleLight(tube, {0, 0, 0}, 0.5, 0.0).colour.x, 1.0, 1e-12);
    EXPECT_EQ(lightFootPoint(tube, {0.5, 0, -2}).v, 0.5);
    EXPECT_EQ(lightFootPoint(pointAt({}), {7, 7, 7}).u, 0.5);
}

}  // namespace
}  // namespace orvik
