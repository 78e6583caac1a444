#include "shading/models/henyey_greenstein.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "shading/models/translucent_scattering.h"

namespace orvik {
namespace {

// Composite Simpson quadrature over the cosine; the sphere integral is 2 pi times it.
template <class F>
double sphereIntegral(F f) {
    constexpr int kIntervals = 200000;
    const double h = 2.0 / kIntervals;
    double sum = f(-1.0) + f(1.0);
    for (int i = 1; i < kIntervals; ++i) sum += f(-1.0 + i * h) * (i % 2 ? 4.0 : 2.0);
    return 2.0 * std::numbers::pi * sum * h / 3.0;
}

constexpr double kQuadratureTolerance = 1e-6;

TEST(HenyeyGreenstein, IntegratesToOneOverTheSphere) {
    for (double g : {-0.9, -0.5, 0.0, 0.3, 0.8, 0.95}) {
        EXPECT_NEAR(sphereIntegral([g](double c) { return henyeyGreenstein(c, g); }), 1.0, kQuadratureTolerance)
            << "g = " << g;
    }
}

TEST(HenyeyGreenstein, MeanCosineIsG) {
    for (double g : {-0.6, 0.2, 0.7}) {
        EXPECT_NEAR(sphereIntegral([g](double c) { return c * henyeyGreenstein(c, g); }), g, kQuadratureTolerance);
    }
    EXPECT_NEAR(henyeyGreenstein(0.3, 0.0), 1.0 / (4.0 * std::numbers::pi), 1e-15);
}

TEST(ScatteringAnisotropy, BaseOfOneIsIsotropicAtEveryDepth) {
    ScatteringSettings s;
    s.baseScattering = 1.0;
    for (double t : {0.0, 0.01, 0.5, 3.0, 100.0}) EXPECT_EQ(scatteringAnisotropy(t, s), 0.0);
}

TEST(ScatteringAnisotropy, ForwardAtTheSurfaceAndFadingWithDepth) {
    ScatteringSettings s;
    s.baseScattering = 0.5;
    EXPECT_NEAR(scatteringAnisotropy(0.0, s), 0.75 * 0.98, 1e-12);
    double previous = 1.0;
    for (double t = 0.0; t < 20.0; t += 0.25) {
        const double g = scatteringAnisotropy(t, s);
        EXPECT_LE(g, previous);
        EXPECT_GE(g, 0.0);
        previous = g;
    }
    // Cut off once nonlinear^2 t reaches 20 times a fifth of the falloff distance.
    EXPECT_EQ(scatteringAnisotropy(20.0 * 0.1 / 0.25, s), 0.0);
    s.nonlinear = 0.0;  // no nonlinear scattering: the surface anisotropy at every depth
    EXPECT_NEAR(scatteringAnisotropy(50.0, s), 0.75 * 0.98, 1e-12);
}

TEST(TranslucentLightWeight, IsotropicLightAndFadeFromTheViewerSide) {
    EXPECT_NEAR(translucentLightWeight(0.5, 1.0, 0.0, 2.0, 0.5), 3.0 * 2.0 / (4.0 * std::numbers::pi), 1e-15);
    // Light arriving from the viewer's side weakens, less so deep inside.
    const double shallow = translucentLightWeight(-0.5, 0.001, 0.0, 1.0, 0.5);
    const double deep = translucentLightWeight(-0.5, 50.0, 0.0, 1.0, 0.5);
    EXPECT_NEAR(shallow, 0.5 * 3.0 / (4.0 * std::numbers::pi), 1e-15);
    EXPECT_GT(deep, shallow);
}

TEST(TranslucentContribution, AbsorbedAndScattered) {
    AbsorptionSettings a;
    a.falloffDistance = 0.5;
    ScatteringSettings sc;
    sc.baseScattering = 1.0;  // isotropic
    const Vec3 colour{0.9, 0.5, 0.2};
    const Vec3 f = translucentContribution(0.3, 0.25, 2.0, colour, a, sc);
    const Vec3 expected = absorption(0.25, colour, a) * (3.0 * 2.0 / (4.0 * std::numbers::pi));
    EXPECT_NEAR(f.y, expected.y, 1e-15);
    // No thickness found counts as light entering at the point itself.
    EXPECT_EQ(translucentContribution(0.3, -99.0, 2.0, colour, a, sc), translucentContribution(0.3, 0.0, 2.0, colour, a, sc));
    // The gathering direction faces the viewer even when the normal does not.
    const Vec3 d = translucencyDirection({0, -1, 0}, {0, 1, 0}, 1.0);
    EXPECT_GT(d.y, 0.0);
}

}  // namespace
}  // namespace orvik
