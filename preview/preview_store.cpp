#include "preview/preview_store.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "module/registry.h"
#include "preview/pixel_filter.h"

namespace orvik {
namespace {

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }
// Rounds toward minus infinity, also for negative positions.
int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int floorMod(int a, int b) { return a - floorDiv(a, b) * b; }

template <class T>
void put(unsigned char* at, const T& value) {
  std::memcpy(at, &value, sizeof value);
}

template <class T>
T get(const unsigned char* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void putVector(unsigned char* at, const double v[3]) { std::memcpy(at, v, 3 * sizeof(double)); }
void putColour(unsigned char* at, const float* c) {
  const float none[3] = {0.0f, 0.0f, 0.0f};
  std::memcpy(at, c ? c : none, 3 * sizeof(float));
}

// The value of one kind of a capture, into its slot of `size` bytes.
void writeKind(int kind, unsigned char* at, int size, const CaptureInputs& in, int lightCount) {
  const HostShaderAccess& sa = *in.access;
  switch (kind) {
    case kKindPixel: put<std::int32_t>(at, std::int32_t(std::uint32_t(sa.sx) << 16 | std::uint32_t(sa.sy & 0xffff))); break;
    case kKindObjectPosition: putVector(at, sa.oPos); break;
    case kKindWorldPosition: putVector(at, sa.wPos); break;
    case kKindGeometricNormal: putVector(at, sa.gNorm); break;
    case 4: put<float>(at, float(sa.footprint)); break;
    case kKindRaySource: putVector(at, sa.raySource); break;
    case 6: put<float>(at, float(sa.rayLength)); break;
    case 7: put<float>(at, float(sa.cosine)); break;
    case kKindObjectId: put<HostItemId>(at, sa.objID); break;
    case kKindPolygonNumber: put<std::int32_t>(at, sa.polNum); break;
    case kKindNormal: putVector(at, sa.wNorm); break;
    case kKindColour: putVector(at, sa.color); break;
    case kKindLuminous: put<float>(at, float(sa.luminous)); break;
    case kKindDiffuse: put<float>(at, float(sa.diffuse)); break;
    case kKindSpecular: put<float>(at, float(sa.specular)); break;
    case kKindMirror: put<float>(at, float(sa.mirror)); break;
    case kKindTransparency: put<float>(at, float(sa.transparency)); break;
    case 19: put<float>(at, float(sa.eta)); break;
    case kKindRoughness: put<float>(at, float(sa.roughness)); break;
    case 21: put<std::int32_t>(at, sa.flags); break;
    case 22: put<std::int32_t>(at, sa.bounces); break;
    case kKindSourceId: put<HostItemId>(at, sa.sourceID); break;
    case kKindNormalBeforeBump: putVector(at, sa.wNorm0); break;
    case 25: put<float>(at, float(sa.bumpHeight)); break;
    case kKindTranslucency: put<float>(at, float(sa.translucency)); break;
    case 27: put<float>(at, float(sa.colorHL)); break;
    case kKindFillLight: put<float>(at, float(sa.colorFL)); break;
    case kKindAddTransparency: put<float>(at, float(sa.addTransparency)); break;
    case kKindDiffuseSharpness: put<float>(at, float(sa.difSharpness)); break;
    case kKindPolygon: put<HostPolygonId>(at, sa.polygon); break;
    case kKindRadiosityCache: putColour(at, in.radiosityCache); break;
    case kKindShadowBytes: {
      // Lights without a shadow value count as unshadowed.
      const int known = in.shadowBytes ? std::clamp(in.shadowLightCount, 0, lightCount) : 0;
      std::memset(at, 255, std::size_t(size));
      if (known > 0) std::memcpy(at, in.shadowBytes, std::min<std::size_t>(std::size_t(size), 3u * known));
      break;
    }
    case kKindSurfaceId: put<std::uintptr_t>(at, in.surfaceId); break;
    case kKindRefractionColour: putColour(at, in.refractionColour); break;
    case kKindReflectionColour: putColour(at, in.reflectionColour); break;
    case kKindThickness: put<float>(at, in.thickness); break;
    case kKindLightTranslucency: {
      const int known = in.lightTranslucency ? std::clamp(in.lightTranslucencyCount, 0, lightCount) : 0;
      for (int i = 0; i < lightCount && (i + 1) * 4 <= size; ++i)
        put<float>(at + 4 * i, i < known ? in.lightTranslucency[i] : kNotComputedLightValue);
      break;
    }
    case kKindReflectionHitFraction: put<float>(at, in.reflectionHitFraction); break;
    case kKindSamplingWeight: put<float>(at, in.samplingWeight); break;
    case kKindAnisotropyAngle: put<float>(at, in.anisotropyAngle); break;
    default: std::memset(at, 0, std::size_t(size)); break;  // kinds never written
  }
}

}  // namespace

float StoredPixel::lightTranslucencyAt(int light) const {
  if (!lightTranslucency || light < 0 || light >= lightCount) return kNotComputedLightValue;
  return get<float>(lightTranslucency + 4 * light);
}

bool PreviewStore::alive() const { return marker.load(std::memory_order_relaxed) == kAliveMark; }

bool PreviewStore::cellColour(int cx, int cy, float rgb[3]) const {
  if (!colours || cx < 0 || cy < 0 || cx >= grid.width || cy >= grid.height) return false;
  const std::size_t i = (std::size_t(cy) * std::size_t(grid.width) + std::size_t(cx)) * 3;
  for (int c = 0; c < 3; ++c) rgb[c] = colours[i + std::size_t(c)].load(std::memory_order_relaxed);
  return true;
}

bool PreviewStore::cellRendered(int cx, int cy) const {
  float rgb[3];
  return cellColour(cx, cy, rgb) && rgb[2] >= 0.0f;
}

bool PreviewStore::storedPixel(int cx, int cy, StoredPixel& out) const {
  if (!channels || !channels->buffer || channels->channelCount != kStoredKindCount) return false;
  const RecordBuffer& b = *channels->buffer;
  const unsigned char* r = b.record(cx, cy);
  if (!r) return false;
  auto at = [&](int slot) { return r + b.slot(slot).offset; };
  out = StoredPixel{};
  out.lightCount = channels->lightCount;
  out.surfaceId = get<std::uintptr_t>(at(0));
  std::memcpy(out.colour, at(1), sizeof out.colour);
  std::memcpy(out.position, at(2), sizeof out.position);
  out.diffuse = get<float>(at(3));
  out.specular = get<float>(at(4));
  out.roughness = get<float>(at(5));
  out.luminous = get<float>(at(6));
  std::memcpy(out.normal, at(7), sizeof out.normal);
  out.mirror = get<float>(at(8));
  out.transparency = get<float>(at(9));
  out.objectId = get<HostItemId>(at(10));
  std::memcpy(out.normalBeforeBump, at(11), sizeof out.normalBeforeBump);
  out.addTransparency = get<float>(at(12));
  out.diffuseSharpness = get<float>(at(13));
  out.fillLight = get<float>(at(14));
  out.translucency = get<float>(at(15));
  std::memcpy(out.refractionColour, at(16), sizeof out.refractionColour);
  std::memcpy(out.reflectionColour, at(17), sizeof out.reflectionColour);
  out.shadowBytes = at(18);
  std::memcpy(out.radiosityCache, at(19), sizeof out.radiosityCache);
  out.thickness = get<float>(at(20));
  out.lightTranslucency = at(21);
  out.reflectionHitFraction = get<float>(at(22));
  out.samplingWeight = get<float>(at(23));
  out.anisotropyAngle = get<float>(at(24));
  return true;
}

int previewBaseStep(int minSamples, int maxSamples, int hostBuild) {
  if (minSamples != maxSamples) return 2;
  if (hostBuild > 0 && hostBuild < kFineStepHostBuild && maxSamples < 2) return 2;
  return 1;
}

PreviewGrid previewGridFor(int x0, int y0, int x1, int y1, int baseStep) {
  PreviewGrid g;
  if (x1 < x0 || y1 < y0 || baseStep < 1) return g;
  const std::int64_t w = std::int64_t(x1) - x0 + 1, h = std::int64_t(y1) - y0 + 1;
  int stepX = baseStep, stepY = 0;
  do {
    if (stepY > stepX)
      stepX += baseStep;
    else
      stepY += 1;
  } while (std::size_t(ceilDiv(w, stepX) * ceilDiv(h, stepY)) * kColourCellBytes > kMaxColourGridBytes);
  g.stepX = stepX;
  g.stepY = stepY;
  g.originX = floorDiv(x0, stepX) * stepX;
  g.originY = floorDiv(y0, stepY) * stepY;
  g.width = int((ceilDiv(std::int64_t(x1) + 1, stepX) * stepX - g.originX) / stepX);
  g.height = int((ceilDiv(std::int64_t(y1) + 1, stepY) * stepY - g.originY) / stepY);
  return g;
}

PreviewGrid previewGrid(const HostSceneInfo* scene, int hostBuild) {
  if (!scene) return PreviewGrid{};
  const int* r = scene->limitedRegion;
  return previewGridFor(r[0], r[1], r[2], r[3],
                        previewBaseStep(scene->minSamplesPerPixel, scene->maxSamplesPerPixel, hostBuild));
}

bool cellOfPixel(const PreviewGrid& g, int x, int y, int& cx, int& cy) {
  if (g.stepX < 1 || g.stepY < 1) return false;
  cx = floorDiv(x - g.originX, g.stepX);
  cy = floorDiv(y - g.originY, g.stepY);
  return cx >= 0 && cy >= 0 && cx < g.width && cy < g.height;
}

bool representedCell(const PreviewGrid& g, int x, int y, int& cx, int& cy) {
  if (g.stepX > 1 && floorMod(x, g.stepX) != 1) return false;
  if (g.stepY > 1 && floorMod(y, g.stepY) != 1) return false;
  return cellOfPixel(g, x, y, cx, cy);
}

PreviewStore* findStore(HostItemId camera, int frame) {
  for (PreviewStore* s = registry().previewStores.load(); s; s = s->next)
    if (s->camera == camera && s->frame == frame && s->alive()) return s;
  return nullptr;
}

PreviewStore* createStore(HostItemId camera, int frame) {
  auto store = std::unique_ptr<PreviewStore>(new (std::nothrow) PreviewStore);
  if (!store) return nullptr;
  store->lights.reset(new (std::nothrow) LightList);
  store->channels.reset(new (std::nothrow) ChannelSet);
  if (!store->lights || !store->channels) return nullptr;
  store->camera = camera;
  store->frame = frame;
  for (int kind : kStoredKinds) registerChannel(*store->channels, kind);
  PreviewStore* head = registry().previewStores.load();
  store->next = head;
  if (head) head->previous = store.get();
  store->marker.store(kAliveMark, std::memory_order_relaxed);
  registry().previewStores.store(store.get());
  return store.release();
}

void freeStore(PreviewStore* store) {
  if (!store) return;
  // Nothing may keep reading a freed store's lights or capturing into it.
  if (currentLightList() == store->lights.get()) setCurrentLightList(&renderLightList());
  if (PixelFilterInstance* f = activePixelFilter()) {
    PreviewStore* expected = store;
    f->currentStore.compare_exchange_strong(expected, nullptr);
  }
  if (store->previous)
    store->previous->next = store->next;
  else if (registry().previewStores.load() == store)
    registry().previewStores.store(store->next);
  if (store->next) store->next->previous = store->previous;
  store->marker.store(0, std::memory_order_relaxed);
  delete store;
}

void freeAllStores() {
  while (PreviewStore* s = registry().previewStores.load()) freeStore(s);
}

int storeCount() {
  int n = 0;
  for (PreviewStore* s = registry().previewStores.load(); s; s = s->next) ++n;
  return n;
}

bool prepareStore(PreviewStore& store, int frame, const StoreFrame& how) {
  // Grid: a changed size takes new colour cells.
  const PreviewGrid g = previewGrid(how.scene, how.hostBuild);
  if (g.width != store.grid.width || g.height != store.grid.height) store.colours.reset();
  store.grid = g;
  store.frameWidth = how.scene ? how.scene->frameWidth : 0;
  if (how.cameraPosition) std::memcpy(store.cameraPosition, how.cameraPosition, sizeof store.cameraPosition);

  const std::size_t cells = std::size_t(g.width) * std::size_t(g.height);
  if (cells > 0 && !store.colours) {
    store.colours.reset(new (std::nothrow) std::atomic<float>[cells * 3]);
    if (!store.colours) {
      if (how.warn) how.warn(kColourMemoryWarning1, kColourMemoryWarning2);
      return false;
    }
  }
  for (std::size_t i = 0; i < cells; ++i)
    for (int c = 0; c < 3; ++c) store.colours[i * 3 + std::size_t(c)].store(kUnrenderedCell[c], std::memory_order_relaxed);

  // The frame's lights first, so that the channel set knows how many lights
  // its per-light slots hold.
  if (how.buildLights) how.buildLights(*store.lights, how.time);

  ChannelSet& set = *store.channels;
  resetChannelSet(set);
  ChannelSetup setup;
  setup.layout = how.layout;
  setup.frame = frame;
  setup.time = how.time;
  setup.camera = store.camera;
  setup.cameraPosition = how.cameraPosition;
  setup.lights = store.lights.get();
  if (how.scene) {
    setup.x0 = how.scene->limitedRegion[0], setup.y0 = how.scene->limitedRegion[1];
    setup.x1 = how.scene->limitedRegion[2], setup.y1 = how.scene->limitedRegion[3];
  }
  setup.grid = g;
  setUpChannelSet(set, setup);
  return true;
}

bool captureIntoSet(ChannelSet& set, const CaptureInputs& in) {
  if (!set.active || !set.buffer || !in.access) return false;
  int cx = 0, cy = 0;
  if (!representedCell(set.grid, in.access->sx, in.access->sy, cx, cy)) return false;
  RecordBuffer& b = *set.buffer;
  unsigned char* record = b.recordForWrite(cx, cy);
  if (!record) return false;  // out of memory: the sample stays uncaptured
  for (int i = 0; i < set.channelCount && i < b.slotCount(); ++i)
    writeKind(set.kinds[i], record + b.slot(i).offset, b.slot(i).size, in, set.lightCount);
  b.markWritten(cx, cy);
  return true;
}

void storeFinalColour(PreviewStore& store, double sx, double sy, const float rgb[3]) {
  if (!store.colours) return;
  // Positions far outside any frame (or not numbers) have no cell.
  constexpr double kFarthestPixel = 1e9;
  if (!(std::fabs(sx) < kFarthestPixel && std::fabs(sy) < kFarthestPixel)) return;
  const int x = int(std::floor(sx + kPixelRounding)), y = int(std::floor(sy + kPixelRounding));
  int cx = 0, cy = 0;
  if (!representedCell(store.grid, x, y, cx, cy)) return;
  const std::size_t i = (std::size_t(cy) * std::size_t(store.grid.width) + std::size_t(cx)) * 3;
  if (store.colours[i + 2].load(std::memory_order_relaxed) >= 0.0f) return;  // an earlier pass wrote it
  store.colours[i].store(rgb[0], std::memory_order_relaxed);
  store.colours[i + 1].store(rgb[1], std::memory_order_relaxed);
  // A negative blue would leave the cell open; the host's output is kept otherwise.
  store.colours[i + 2].store(std::max(rgb[2], 0.0f), std::memory_order_relaxed);
}

std::size_t storedMemoryBytes() {
  std::size_t bytes = 0;
  for (PreviewStore* s = registry().previewStores.load(); s; s = s->next) {
    bytes += sizeof(PreviewStore);
    if (s->lights) bytes += sizeof(LightList);
    if (s->channels) {
      bytes += sizeof(ChannelSet);
      if (s->channels->buffer) bytes += s->channels->buffer->memoryBytes();
    }
    if (s->colours) bytes += kColourCellBytes * std::size_t(s->grid.width) * std::size_t(s->grid.height);
  }
  return bytes;
}

}  // namespace orvik
