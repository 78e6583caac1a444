#include "preview/pixel_filter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "master/master_events.h"
#include "master/master_hooks.h"
#include "master/master_values.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "preview/capture.h"
#include "preview/preview_store.h"
#include "preview/sampling_factors.h"
#include "preview/store_services.h"
#include "shading/light_list.h"
#include "shading/shadow_transmission.h"

namespace orvik {
namespace {

PreviewWindowHooks gWindowHooks;
constexpr std::size_t kMessageCapacity = 512;
char gSecondFilterText[kMessageCapacity];

void warnOf(const FilterHost& host, const char* line1, const char* line2) {
  if (host.warn) host.warn(line1, line2);
}

bool someWindowWants(HostItemId camera, int frame) { return windowWantsFrame(camera, frame) != nullptr; }

void freeUnwantedStores() {
  PreviewStore* s = registry().previewStores.load();
  while (s) {
    PreviewStore* next = s->next;
    if (!someWindowWants(s->camera, s->frame)) freeStore(s);
    s = next;
  }
}

void defaultBuildLights(LightList& list, double time) { buildLightList(list, time); }

const void* service(const char* name) {
  const HostGlobalFunc global = hostServices().global;
  return global ? global(name, HOST_GFUSE_TRANSIENT) : nullptr;
}

}  // namespace

void setPreviewWindowHooks(const PreviewWindowHooks& hooks) { gWindowHooks = hooks; }
const PreviewWindowHooks& previewWindowHooks() { return gWindowHooks; }

PreviewWindow* windowWantsFrame(HostItemId camera, int frame) {
  const PreviewWindowHooks& h = gWindowHooks;
  if (!h.first || !h.next || !h.cameraCount || !h.camera || !h.frame) return nullptr;
  for (PreviewWindow* w = h.first(); w; w = h.next(w)) {
    if (std::floor(h.frame(w) + 0.5) != double(frame)) continue;
    if (h.cameraCount(w) >= 1 && h.camera(w) == camera) return w;
  }
  return nullptr;
}

FilterHost filterHostFromServices() {
  FilterHost host;
  const HostServices& s = hostServices();
  host.scene = static_cast<const HostSceneInfo*>(service(HOST_SCENE_INFO_NAME));
  host.renderMemory = static_cast<const HostGlobalMemory*>(service(HOST_GLOBAL_RENDER_MEMORY_NAME));
  host.itemInfo = s.itemInfo;
  host.layout = s.kind == HostKind::Layout;
  host.renderNode = s.kind == HostKind::RenderNode;
  host.hostBuild = s.versionBuild;
  host.warn = masterWarning;
  host.buildLights = defaultBuildLights;
  return host;
}

PixelFilterInstance* activePixelFilter() {
  PixelFilterInstance* f = registry().activePixelFilter.load();
  return f && f->alive() ? f : nullptr;
}

const char* secondFilterMessage() {
  std::snprintf(gSecondFilterText, sizeof gSecondFilterText, kSecondFilterFormat, lastEventText());
  return gSecondFilterText;
}

PixelFilterInstance* createPixelFilter(void* serverData, void* context, const char** error) {
  if (reinterpret_cast<std::uintptr_t>(context) == HOST_FILTER_CONTEXT_IMAGE) {
    if (error) *error = kImageContextError;
    return nullptr;
  }
  if (activePixelFilter()) {
    if (error) *error = secondFilterMessage();
    return nullptr;
  }
  auto* f = new (std::nothrow) PixelFilterInstance;
  if (!f) {
    if (error) *error = kFilterMemoryError;
    return nullptr;
  }
  f->serverData = serverData;
  f->context = context;
  f->aliveMark.store(kAliveMark, std::memory_order_relaxed);
  installSamplingHook();
  installCaptureHooks();
  installStoreMasterHooks();
  registry().activePixelFilter.store(f);
  return f;
}

void destroyPixelFilter(PixelFilterInstance* f) {
  if (!f) return;
  PixelFilterInstance* expected = f;
  registry().activePixelFilter.compare_exchange_strong(expected, nullptr);
  f->aliveMark.store(0, std::memory_order_relaxed);
  delete f;
}

void pixelFilterInit(PixelFilterInstance* f, const FilterHost& host) {
  if (!f) return;
  f->lastFrame = kFrameAfterInit;
  if (gWindowHooks.markRendering) gWindowHooks.markRendering(true);
  // The shared light block, found or created; a sibling light plug-in fills it.
  f->sharedLightBlock = nullptr;
  if (host.renderMemory && host.renderMemory->find) {
    void* block = host.renderMemory->find(kFilterSharedBlockName);
    if (!block && host.renderMemory->create) block = host.renderMemory->create(kFilterSharedBlockName, kSharedLightBlockBytes);
    if (block) {
      const std::uint32_t none = 0;
      std::memcpy(block, &none, sizeof none);
    }
    f->sharedLightBlock = block;
    f->sharedLightBlockSize = block && host.renderMemory->size ? host.renderMemory->size(kFilterSharedBlockName) : 0;
  }
  f->currentStore.store(nullptr);
}

void pixelFilterCleanup(PixelFilterInstance* f) {
  if (!f) return;
  f->lastFrame = kFrameAfterInit;
  if (gWindowHooks.markRendering) gWindowHooks.markRendering(false);
  // The render memory may go with the render: the shading lets go of the block.
  if (f->sharedLightBlock && sharedLightBlock().data == f->sharedLightBlock) setSharedLightBlock({});
  f->sharedLightBlock = nullptr;
  f->sharedLightBlockSize = 0;
}

void pixelFilterNewTime(PixelFilterInstance* f, int frame, double time, const FilterHost& host) {
  if (!f) return;
  const HostSceneInfo* scene = host.scene;
  const bool master = masterPresent();
  const HostItemId renderCamera = scene && scene->renderCamera ? scene->renderCamera(time) : nullptr;

  // Windows following the last render take this frame and camera.
  if (master && !masterPreviewRenderActive() && gWindowHooks.first && gWindowHooks.next &&
      gWindowHooks.followsRender && gWindowHooks.takeRenderedFrame) {
    for (PreviewWindow* w = gWindowHooks.first(); w; w = gWindowHooks.next(w))
      if (gWindowHooks.followsRender(w)) gWindowHooks.takeRenderedFrame(w, frame, renderCamera);
  }

  // The shadow code reads the block this filter found or created (the
  // shaders' new time, which runs first, may have looked elsewhere).
  if (f->sharedLightBlock)
    setSharedLightBlock({static_cast<const unsigned char*>(f->sharedLightBlock), f->sharedLightBlockSize});

  // A new frame: its sampling factors, and stores nobody wants are freed.
  if (frame != f->lastFrame) {
    f->lastFrame = frame;
    f->maxSamples = scene && scene->maxSamplesPerPixel > 0 ? scene->maxSamplesPerPixel : 1;
    const MasterLighting lighting = masterLighting();
    f->areaFactor.store(areaFactorFor(f->maxSamples));
    f->reflectionFactor.store(reflectionFactorFor(f->maxSamples, master, lighting.reflectionQuality));
    f->passCount.store(0);
    f->passPhase.store(0.5 / f->maxSamples);
    if (!master || lighting.autoFree) freeUnwantedStores();
  }

  f->currentStore.store(nullptr);
  f->frameWidth = scene ? scene->frameWidth : 0;
  f->regionX0 = scene ? scene->limitedRegion[0] : 0;
  f->regionY0 = scene ? scene->limitedRegion[1] : 0;
  if (!master || host.renderNode) return;

  if (!someWindowWants(renderCamera, frame)) {
    freeStore(findStore(renderCamera, frame));
    return;
  }
  if (!f->warned && scene && (scene->renderOpts & (HOST_ROPT_FIELDS | HOST_ROPT_EVENFIELDS))) {
    warnOf(host, kFieldWarning1, kFieldWarning2);
    f->warned = 1;
    freeStore(findStore(renderCamera, frame));
    return;
  }
  if (!f->warned && scene && scene->minSamplesPerPixel > 1 && scene->minSamplesPerPixel != scene->maxSamplesPerPixel) {
    warnOf(host, kAdaptiveWarning1, kAdaptiveWarning2);
    f->warned = 1;
    freeStore(findStore(renderCamera, frame));
    return;
  }
  // Once a warning was given, capture stays off for the life of the filter.
  if (f->warned) return;

  PreviewStore* store = findStore(renderCamera, frame);
  if (!store) store = createStore(renderCamera, frame);
  if (!store) return;
  double position[3] = {0.0, 0.0, 0.0};
  if (host.itemInfo && host.itemInfo->param && renderCamera)
    host.itemInfo->param(renderCamera, HOST_IP_W_POSITION, time, position);
  StoreFrame how;
  how.scene = scene;
  how.hostBuild = host.hostBuild;
  how.layout = host.layout;
  how.time = time;
  how.cameraPosition = position;
  how.buildLights = host.buildLights;
  how.warn = host.warn;
  if (!prepareStore(*store, frame, how)) return;
  setCurrentLightList(store->lights.get());
  f->currentStore.store(store);
}

void pixelFilterEvaluate(PixelFilterInstance* f, const HostFilterAccess* access) {
  if (!f || !access || !access->getVal) return;
  const double sx = access->sx, sy = access->sy;

  // The first pixel of the rendered region starts a pass.
  if (std::floor(sx) == f->regionX0 && std::floor(sy) == f->regionY0) {
    const int pass = f->passCount.fetch_add(1) + 1;
    f->passPhase.store(passPhaseFor(pass, f->maxSamples));
  }

  float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  access->getVal(access->filterData, HOST_BUF_RED, 4, rgba);

  if (PreviewStore* store = f->currentStore.load()) storeFinalColour(*store, sx, sy, rgba);

  double colour[3] = {rgba[0], rgba[1], rgba[2]};
  masterProcessPixel(sx, sy, double(f->lastFrame), double(f->frameWidth), colour);
  const float out[4] = {float(colour[0]), float(colour[1]), float(colour[2]), rgba[3]};
  if (access->setRGBA)
    access->setRGBA(access->filterData, out);
  else if (access->setVal)
    access->setVal(access->filterData, HOST_BUF_RED, 4, out);
}

}  // namespace orvik
