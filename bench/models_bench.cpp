// Cost of the pure shading models per light: the diffuse and specular response of one
// sample to one light, as the light drivers call it for every light of every sample.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "shading/models/glossy_rays.h"
#include "shading/models/henyey_greenstein.h"
#include "shading/models/surface_response.h"

namespace orvik {
namespace {

// A fixed set of view and light directions over the upper hemisphere, so every run
// shades the same mix of facing, grazing and back-lit configurations.
struct Directions {
    std::vector<Vec3> views, lights, bumped;
    Directions() {
        std::mt19937 gen(1234);
        std::normal_distribution<double> n(0.0, 1.0);
        for (int i = 0; i < 1024; ++i) {
            Vec3 v = normalize({n(gen), std::fabs(n(gen)), n(gen)});
            Vec3 l = normalize({n(gen), n(gen), n(gen)});
            views.push_back(v);
            lights.push_back(l);
            bumped.push_back(normalize(Vec3{0.0, 1.0, 0.0} + Vec3{n(gen), 0.0, n(gen)} * 0.15));
        }
    }
};

const Directions& directions() {
    static const Directions d;
    return d;
}

SpecularLayer layer(double strength, double gloss, double anisotropy, double retro) {
    SpecularLayerSettings s;
    s.strength = strength;
    s.gloss = gloss;
    s.anisotropy = anisotropy;
    s.retro = retro;
    return prepareSpecularLayer(s);
}

// range(0): rough diffuse (0 off, 1 on); range(1): specular layers 0..3; range(2): anisotropy on.
void BM_SurfaceResponsePerLight(benchmark::State& state) {
    const Directions& d = directions();
    const std::array<SpecularLayer, 3> layers{layer(1.0, 1.0, state.range(2) ? 0.8 : 0.0, 0.0),
                                               layer(0.5, 0.3, 0.0, 0.2), layer(0.25, 2.0, 0.0, 0.0)};
    SurfaceModel model;
    model.orenNayar = prepareOrenNayar(state.range(0) ? 0.6 : 0.0);
    model.rim = 0.3;
    model.terminatorSharpness = 0.2;
    model.layers = std::span<const SpecularLayer>(layers.data(), static_cast<std::size_t>(state.range(1)));
    SurfacePoint point;
    point.normal0 = {0.0, 1.0, 0.0};
    point.colour = {0.7, 0.5, 0.3};
    point.roughness = 0.05;
    std::size_t i = 0;
    for (auto _ : state) {
        point.normal = d.bumped[i];
        const SurfaceResponse r = surfaceResponse(model, point, d.views[i], d.lights[i], 1.0, 1.0, 1.0, 0.4);
        benchmark::DoNotOptimize(r);
        i = (i + 1) & 1023;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SurfaceResponsePerLight)
    ->ArgNames({"rough", "layers", "aniso"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 0})
    ->Args({1, 1, 0})
    ->Args({1, 1, 1})
    ->Args({1, 3, 1});

void BM_GlossyRays(benchmark::State& state) {
    const Directions& d = directions();
    GlossySpread spread;
    spread.spread = 2.0;
    spread.surfaceAnisotropy = 0.5;
    std::vector<Vec3> rays(static_cast<std::size_t>(state.range(0)));
    std::uint32_t seed = 1;
    std::size_t i = 0;
    for (auto _ : state) {
        glossyRays(spread, d.views[i], {0, 1, 0}, d.bumped[i], 0.3, seed++, 0.5, rays);
        benchmark::DoNotOptimize(rays.data());
        i = (i + 1) & 1023;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GlossyRays)->Arg(8)->Arg(64);

void BM_HenyeyGreenstein(benchmark::State& state) {
    double c = -1.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(henyeyGreenstein(c, 0.6));
        c = c > 1.0 ? -1.0 : c + 0.001;
    }
}
BENCHMARK(BM_HenyeyGreenstein);

}  // namespace
}  // namespace orvik

BENCHMARK_MAIN();
