// Ray throughput of the host's tracer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/embree_scene.h"
#include "host/raytrace_primitives.h"
#include "host/sampling.h"

namespace orvik::host {
namespace {

// About a million triangles: a torus of 1024 x 512 quads.
const EmbreeScene& bigMesh() {
  static EmbreeScene* scene = [] {
    auto* s = new EmbreeScene;
    s->addTriangleMesh(tessellateTorus(2.0, 0.7, 1024, 512));
    s->commit();
    return s;
  }();
  return *scene;
}

// Camera rays over the torus from in front, in scanline order like a render.
void BM_PrimaryRays(benchmark::State& state) {
  enableFastFloatMode();
  const EmbreeScene& scene = bigMesh();
  const int side = 256;
  int64_t rays = 0, hits = 0;
  for (auto _ : state) {
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) {
        const double dx = (x + 0.5) / side * 2.0 - 1.0, dy = (y + 0.5) / side * 2.0 - 1.0;
        const double len = std::sqrt(dx * dx * 0.36 + dy * dy * 0.36 + 1.0);
        const RayHit h = scene.intersect({0, 0, -8}, {dx * 0.6 / len, dy * 0.6 / len, 1.0 / len}, 0.0, 1e30);
        hits += h.hit;
      }
    rays += side * side;
  }
  benchmark::DoNotOptimize(hits);
  state.counters["Mrays/s"] = benchmark::Counter(static_cast<double>(rays) * 1e-6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PrimaryRays)->Unit(benchmark::kMillisecond);

// Shadow rays from a floor under the torus towards a light above: occlusion
// only, about a third of them blocked.
void BM_ShadowRays(benchmark::State& state) {
  enableFastFloatMode();
  const EmbreeScene& scene = bigMesh();
  std::vector<std::array<double, 3>> points;
  SampleRandom random(5);
  for (int i = 0; i < 65536; ++i) points.push_back({random.next() * 8.0 - 4.0, -1.0, random.next() * 8.0 - 4.0});
  const std::array<double, 3> light{1.0, 6.0, -1.0};
  int64_t rays = 0, blocked = 0;
  for (auto _ : state) {
    for (const auto& p : points) {
      std::array<double, 3> d{light[0] - p[0], light[1] - p[1], light[2] - p[2]};
      const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      for (double& c : d) c /= len;
      blocked += scene.occluded(p, d, 1e-4, len);
    }
    rays += static_cast<int64_t>(points.size());
  }
  state.counters["blocked"] = static_cast<double>(blocked) / static_cast<double>(std::max<int64_t>(rays, 1));
  state.counters["Mrays/s"] = benchmark::Counter(static_cast<double>(rays) * 1e-6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ShadowRays)->Unit(benchmark::kMillisecond);


}  // namespace
}  // namespace orvik::host

BENCHMARK_MAIN();
