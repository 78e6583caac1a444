// Samples per second of the shader's full evaluation path with 1 and with 8
// point lights, on an access record whose ray functions do nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "shading/evaluate.h"
#include "shading/light_list.h"
#include "shading/surface_instance.h"
#include "panels/numeric_control.h"

namespace {

using namespace orvik;

double noTrace(void*, const double*, const double*, double c[3]) {
  c[0] = c[1] = c[2] = 0.0;
  return -1.0;
}
double noCast(void*, const double*, const double*) { return -1.0; }
int unshadowed(void*, HostItemId light, const double*, double*, double c[3]) {
  const auto id = reinterpret_cast<std::uintptr_t>(light);
  const bool pseudo = id == HOST_ILLUMINATE_RADIOSITY || id == HOST_ILLUMINATE_CAUSTICS;
  c[0] = c[1] = c[2] = pseudo ? 0.0 : 1.0;
  return 1;
}

HostShaderAccess cameraSample() {
  HostShaderAccess sa{};
  sa.raySource[1] = 5.0;
  sa.raySource[2] = 2.0;
  sa.rayLength = 5.4;
  sa.gNorm[1] = sa.wNorm[1] = sa.wNorm0[1] = 1.0;
  sa.wNorm[0] = 0.05;  // a little bump
  sa.color[0] = 0.8, sa.color[1] = 0.6, sa.color[2] = 0.4;
  sa.diffuse = 1.0;
  sa.specular = 0.4;
  sa.roughness = 0.05;
  sa.difSharpness = 1.0;
  sa.eta = 1.0;
  sa.objID = reinterpret_cast<HostItemId>(std::uintptr_t{0x200});
  sa.sourceID = reinterpret_cast<HostItemId>(std::uintptr_t{0x400});
  const float quad[4][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
  std::memcpy(sa.vertsWPos, quad, sizeof quad);
  for (int i = 0; i < 9; i += 4) sa.wXfrm[i] = 1.0;
  sa.illuminate = unshadowed;
  sa.rayTrace = noTrace;
  sa.rayCast = noCast;
  return sa;
}

void BM_EvaluateFullPath(benchmark::State& state) {
  static LightList lights;
  lights = LightList{};
  const int count = static_cast<int>(state.range(0));
  for (int i = 0; i < count; ++i) {
    LightRecord& r = lights.records[i];
    r.type = 1;
    r.position = r.origin = {double(i) - 3.5, 4.0, 1.0 + 0.25 * i};
    r.colour = {0.3, 0.3, 0.3};
    r.range = 1e6;
    r.id = reinterpret_cast<HostItemId>(std::uintptr_t{0x1000 + 16u * unsigned(i)});
  }
  lights.lightCount = lights.captureCount = count;
  setCurrentLightList(&lights);

  SurfaceInstance* inst = buildSurfaceInstance();
  inst->runtime.aliveMark = kSurfaceAliveMark;
  AsNumeric(inst->control("ROUGHDIFFUSE"))->value = 0.5;  // the full rough diffuse model
  prepareSurfaceInstance(inst);
  const HostShaderAccess sample = cameraSample();
  for (auto _ : state) {
    HostShaderAccess sa = sample;
    evaluate(inst, &sa);
    benchmark::DoNotOptimize(sa.color[0]);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["samples/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  freeSurfaceInstance(inst);
  setCurrentLightList(nullptr);
}
BENCHMARK(BM_EvaluateFullPath)->Arg(1)->Arg(8);

}  // namespace

BENCHMARK_MAIN();
