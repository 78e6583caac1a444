// Ray throughput of the host's tracer and the render time of the demo scene
// with the host's own shading (no module), 640 x 480, 4 antialiasing passes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/embree_scene.h"
#include "host/raytrace_primitives.h"
#include "host/render_frame.h"
#include "host/sampling.h"
#include "host/scene_file.h"

namespace orvik::host {
namespace {

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

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

// The demo at 640 x 480 with 4 passes, host shading only; arg = threads.
void BM_DemoRender(benchmark::State& state) {
  SceneReadResult loaded = loadSceneFile(std::string(ORVIK_SOURCE_DIR) + "/scenes/demo.orvs");
  if (!loaded.ok) {
    state.SkipWithError(loaded.error.c_str());
    return;
  }
  Scene& scene = loaded.scene;
  scene.render.width = 640;
  scene.render.height = 480;
  scene.render.aaMinSamples = scene.render.aaMaxSamples = 4;
  RenderSettings settings;
  settings.threads = static_cast<int>(state.range(0));
  settings.progress = false;
  Renderer renderer(scene, nullptr, settings);
  std::string error;
  if (!renderer.begin(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  // CPU time of every thread of the process: on a busy machine the wall
  // time says little, the CPU seconds still compare.
  double cpu = 0.0;
  for (auto _ : state) {
    ImageBuffer image;
    const double before = processCpuSeconds();
    if (!renderer.renderFrame(scene.render.firstFrame, image, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    cpu += processCpuSeconds() - before;
    benchmark::DoNotOptimize(image.pixels.data());
  }
  renderer.end();
  state.counters["cpu_s"] = cpu / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_DemoRender)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace orvik::host

BENCHMARK_MAIN();
