#include "shading/models/light_points.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "shading/models/specular_layer.h"

namespace orvik {
namespace {

// The same bits, so that even the sign of a zero is kept.
bool sameBits(Vec3 a, Vec3 b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Vec3 randomUnit(std::mt19937& gen) {
    std::normal_distribution<double> n(0.0, 1.0);
    return normalize({n(gen), n(gen), n(gen)});
}

// A surface with everything a light point's response can depend on drawn at random:
// roughness, rim, terminator, skin, translucency, and zero to three specular layers
// with anisotropy, retro reflection, gloss bias and negative gloss.
struct RandomSurface {
    SpecularLayer layers[3];
    SurfaceModel model;
    SurfacePoint point;
    Vec3 view;
    double diffuse = 0.0, specular = 0.0, bumpScale = 1.0, anisotropyAngle = 0.0;

    explicit RandomSurface(std::mt19937& gen) {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        auto oneOf = [&](std::initializer_list<double> values) {
            return *(values.begin() + std::uniform_int_distribution<int>(0, int(values.size()) - 1)(gen));
        };
        const int layerCount = std::uniform_int_distribution<int>(0, 3)(gen);
        for (int i = 0; i < layerCount; ++i) {
            SpecularLayerSettings s;
            s.strength = 0.5 + unit(gen);
            s.gloss = oneOf({-0.3, 0.2, 0.6, 1.0, 1.4});
            s.glossBias = oneOf({0.5, 0.5, 0.2, 0.8});
            s.anisotropy = oneOf({0.0, 0.0, 0.7, 2.0});
            s.anisotropyAngleDegrees = 90.0 * unit(gen);
            s.retro = oneOf({0.0, 0.0, 0.4, 1.0});
            s.surfaceColourTint = unit(gen);
            layers[i] = prepareSpecularLayer(s);
        }
        model.layers = {layers, std::size_t(layerCount)};
        model.rim = oneOf({0.0, 0.0, 0.5, 1.0});
        model.terminatorSharpness = oneOf({0.0, -0.5, 0.5, -1.0, 1.0});
        model.skinScattering = oneOf({0.0, 0.0, 0.6});
        model.hostTranslucencyOff = unit(gen) < 0.3;
        model.orenNayar = prepareOrenNayar(oneOf({0.0, 0.3, 1.0}));
        point.normal0 = randomUnit(gen);
        point.normal = normalize(point.normal0 + randomUnit(gen) * 0.2);
        point.colour = {unit(gen), unit(gen), unit(gen)};
        point.translucency = oneOf({0.0, 0.5});
        point.diffuseSharpness = oneOf({1.0, 0.5});
        point.roughness = unit(gen);
        view = randomUnit(gen);
        diffuse = unit(gen);
        specular = oneOf({0.0, 0.8});
        anisotropyAngle = unit(gen);
    }

    PreparedResponse prepared() const {
        return prepareResponse(model, point, view, diffuse, specular, bumpScale, anisotropyAngle);
    }
};

// The lane counts this processor can run.
std::vector<LightPointLanes> laneChoices() {
    std::vector<LightPointLanes> choices{LightPointLanes::Two};
    if (fourLightPointLanesAvailable()) choices.push_back(LightPointLanes::Four);
    return choices;
}

TEST(LightPointRows, RespondExactlyAsOneLightAtATime) {
    std::mt19937 gen(11);
    for (int n = 0; n < 3000; ++n) {
        const RandomSurface surface(gen);
        const PreparedResponse prepared = surface.prepared();
        // Often some directions of a row lie beyond the terminator and others not.
        Vec3 l[kLightPointRow];
        for (Vec3& d : l) d = randomUnit(gen);
        const LightTerms terms{n % 5 != 0, n % 7 != 0};
        for (const LightPointLanes lanes : laneChoices()) {
            SurfaceResponse row[kLightPointRow];
            respondToLightPoints(prepared, l, terms, row, lanes);
            for (int i = 0; i < kLightPointRow; ++i) {
                const SurfaceResponse one = respondToLight(prepared, l[i], terms);
                ASSERT_EQ(row[i].lit, one.lit) << "case " << n << " lane " << i;
                ASSERT_TRUE(sameBits(row[i].rgb, one.rgb)) << "case " << n << " lane " << i;
            }
        }
    }
}

TEST(LightPointRows, SampleAndShadeExactlyAsOnePointAtATime) {
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int n = 0; n < 2000; ++n) {
        LightGeometry g;
        g.type = n % 2 ? LightType::Area : LightType::Linear;
        g.origin = randomUnit(gen) * 3.0;
        g.edgeU = randomUnit(gen) * 1.5;
        g.edgeV = g.type == LightType::Area ? randomUnit(gen) : Vec3{};
        g.forward = randomUnit(gen);
        g.colour = {unit(gen), unit(gen), unit(gen)};
        g.shadowColour = n % 3 ? Vec3{} : Vec3{0.2, 0.1, 0.0};
        g.falloff = n % 4;  // none, none, inverse distance, its square
        g.range = 0.5 + 4.0 * unit(gen);
        g.minimumDistance = n % 2 ? 0.01 : 1e-14;
        g.flags = n % 6 == 0 ? kLightLimitedRange : 0u;
        const Vec3 p = randomUnit(gen);
        double u[kLightPointRow], v[kLightPointRow];
        for (int i = 0; i < kLightPointRow; ++i) u[i] = unit(gen), v[i] = unit(gen);
        if (n % 50 == 0) {
            // One point of the row on the shaded point itself.
            u[1] = v[1] = 0.0;
            g.origin = p;
        }
        const RandomSurface surface(gen);
        const PreparedResponse prepared = surface.prepared();
        for (const LightPointLanes lanes : laneChoices()) {
            LightSample row[kLightPointRow];
            sampleLightPoints(g, p, u, v, row, lanes);
            LightSampleValue values[kLightPointRow];
            shadeLightPoints(g, p, prepared, {}, u, v, values, lanes);
            for (int i = 0; i < kLightPointRow; ++i) {
                const LightSample one = sampleLight(g, p, u[i], v[i]);
                ASSERT_TRUE(sameBits(row[i].direction, one.direction)) << "case " << n << " lane " << i;
                ASSERT_TRUE(sameBits(row[i].colour, one.colour)) << "case " << n << " lane " << i;
                ASSERT_TRUE(sameBits(row[i].shadowColour, one.shadowColour)) << "case " << n << " lane " << i;
                ASSERT_EQ(row[i].distance, one.distance);
                const Vec3 rgb = respondToLight(prepared, one.direction).rgb;
                ASSERT_TRUE(sameBits(values[i].lit, one.colour * rgb)) << "case " << n << " lane " << i;
                ASSERT_TRUE(sameBits(values[i].shadow, one.shadowColour * rgb)) << "case " << n << " lane " << i;
            }
        }
    }
}

}  // namespace
}  // namespace orvik
