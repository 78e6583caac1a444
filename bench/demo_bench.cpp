// The built-in demo at its 640 x 480 with 4 antialiasing passes: Orvik on every
// surface (through the module, as `orvik demo` renders it) against the same
// scene with the host's own shading, both rendered in the same run so that the
// ratio compares like with like on a busy machine. Arg = render threads.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "host/cli_session.h"
#include "host/demo.h"
#include "host/render_frame.h"

namespace orvik::host {
namespace {

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

bool demoVariantScene(DemoVariant variant, Scene& scene, std::string& error) {
  SceneReadResult read = demoScene();
  if (!read.ok) {
    error = read.error;
    return false;
  }
  if (!applyDemoVariant(read.scene, variant, error)) return false;
  scene = std::move(read.scene);
  return true;
}

struct Timed {
  double wall = 0.0, cpu = 0.0;
};

bool renderTimed(Renderer& renderer, int frame, Timed& total, std::string& error) {
  ImageBuffer image;
  const double cpu0 = processCpuSeconds();
  const auto wall0 = std::chrono::steady_clock::now();
  if (!renderer.renderFrame(frame, image, error)) return false;
  total.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  total.cpu += processCpuSeconds() - cpu0;
  benchmark::DoNotOptimize(image.pixels.data());
  return true;
}

void BM_DemoOrvikAgainstHost(benchmark::State& state) {
  std::string error;
  Scene orvikScene, plainScene;
  if (!demoVariantScene(DemoVariant::Looks, orvikScene, error) ||
      !demoVariantScene(DemoVariant::Plain, plainScene, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  HostOptions options;
  options.modulePath = ORVIK_MODULE_PATH;
  options.quiet = true;
  HostSession session;
  error = session.start(options);
  if (error.empty()) error = session.useScene(std::move(orvikScene));
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  RenderSettings settings;
  settings.threads = static_cast<int>(state.range(0));
  settings.progress = false;
  RenderPlugins plugins = session.plugins->renderPlugins();
  Renderer orvik(session.scene, &plugins, settings);
  Renderer host(plainScene, nullptr, settings);
  if (!orvik.begin(error) || !host.begin(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  Timed withOrvik, withHost;
  for (auto _ : state) {
    if (!renderTimed(host, plainScene.render.firstFrame, withHost, error) ||
        !renderTimed(orvik, session.scene.render.firstFrame, withOrvik, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  orvik.end();
  host.end();
  session.env.clearRenderMemory();
  const double n = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
  state.counters["orvik_s"] = withOrvik.wall / n;
  state.counters["host_s"] = withHost.wall / n;
  state.counters["ratio"] = withHost.wall > 0.0 ? withOrvik.wall / withHost.wall : 0.0;
  // CPU seconds of every thread: on a busy machine the wall time says little.
  state.counters["orvik_cpu_s"] = withOrvik.cpu / n;
  state.counters["host_cpu_s"] = withHost.cpu / n;
  state.counters["cpu_ratio"] = withHost.cpu > 0.0 ? withOrvik.cpu / withHost.cpu : 0.0;
}
BENCHMARK(BM_DemoOrvikAgainstHost)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace orvik::host

BENCHMARK_MAIN();
