#include "preview/capture.h"

#include "preview/pixel_filter.h"
#include "shading/shade_sample.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

constexpr std::uintptr_t kNoObject = HOST_NO_OBJECT_ID;

PreviewStore* currentStore() {
  PixelFilterInstance* f = activePixelFilter();
  return f ? f->currentStore.load() : nullptr;
}

// The evaluation's hook: it hands over what it has of the sample's inputs.
void captureHook(const SurfaceInstance* inst, const HostShaderAccess* sa, const LightList* lights,
                 const SampleInputs& sample) {
  CaptureInputs in;
  in.access = sa;
  in.shadowBytes = sample.shadowBytes;
  in.shadowLightCount = lights ? lights->captureCount : 0;
  in.radiosityCache = sample.radiosityCache;
  in.refractionColour = sample.refractionColour;
  in.reflectionColour = sample.reflectionColour;
  in.thickness = sample.thickness;
  in.lightTranslucency = sample.lightTranslucency;
  in.lightTranslucencyCount = sample.lightTranslucencyCount;
  in.reflectionHitFraction = sample.reflectionHitFraction;
  in.samplingWeight = sample.samplingWeight;
  in.anisotropyAngle = sample.anisotropyAngle;
  captureSample(inst, in);
}

}  // namespace

bool captureWanted(const SurfaceInstance* inst, const HostShaderAccess* sa) {
  if (!inst || !sa || inst->runtime.renderMode.get() != kRenderModeFull) return false;
  const auto object = reinterpret_cast<std::uintptr_t>(sa->objID);
  if (object == 0 || object == kNoObject || sa->bounces != 0) return false;
  const PreviewStore* store = currentStore();
  if (!store) return false;
  int cx = 0, cy = 0;
  return cellOfPixel(store->grid, sa->sx, sa->sy, cx, cy) && !store->cellRendered(cx, cy);
}

bool captureSample(const SurfaceInstance* inst, CaptureInputs in) {
  PreviewStore* store = currentStore();
  if (!store || !store->channels || !in.access) return false;
  int cx = 0, cy = 0;
  // A cell whose final colour is written keeps its record.
  if (!cellOfPixel(store->grid, in.access->sx, in.access->sy, cx, cy) || store->cellRendered(cx, cy)) return false;
  in.surfaceId = inst ? inst->runtime.surfaceId.get() : 0;
  return captureIntoSet(*store->channels, in);
}

void installCaptureHooks() {
  EvaluateHooks hooks = evaluateHooks();
  hooks.captureWanted = captureWanted;
  hooks.captureSample = captureHook;
  setEvaluateHooks(hooks);
}

}  // namespace orvik
