#include "preview/channel_set.h"

#include <algorithm>
#include <cstring>

#include "shading/light_list.h"

namespace orvik {
namespace {

constexpr int kVectorBytes = 3 * sizeof(double);
constexpr int kColourBytes = 3 * sizeof(float);
constexpr int kValueBytes = 4;
constexpr int kHandleBytes = sizeof(void*);

bool isVectorKind(int kind) {
  switch (kind) {
    case kKindObjectPosition: case kKindWorldPosition: case kKindGeometricNormal: case kKindRaySource:
    case kKindNormal: case kKindColour: case kKindNormalBeforeBump:
      return true;
    default:
      return false;
  }
}

bool isHandleKind(int kind) {
  return kind == kKindObjectId || kind == kKindSourceId || kind == kKindPolygon || kind == kKindSurfaceId;
}

bool isColourKind(int kind) {
  return kind == kKindRadiosityCache || kind == kKindRefractionColour || kind == kKindReflectionColour;
}

}  // namespace

int channelKindSize(int kind, int lightCount) {
  if (kind < 0 || kind >= kChannelKindCount) return 0;
  lightCount = std::clamp(lightCount, 0, kMaxCaptureLights);
  if (isVectorKind(kind)) return kVectorBytes;
  if (isHandleKind(kind)) return kHandleBytes;
  if (isColourKind(kind)) return kColourBytes;
  if (kind == kKindLightBytes) return lightCount;
  if (kind == kKindShadowBytes) return 3 * lightCount;
  if (kind == kKindLightTranslucency) return int(sizeof(float)) * lightCount;
  return kValueBytes;
}

int channelKindAlignment(int kind) {
  if (isVectorKind(kind) || isHandleKind(kind)) return 8;
  if (kind == kKindLightBytes || kind == kKindShadowBytes) return 1;
  return 4;
}

bool registerChannel(ChannelSet& set, int kind) {
  if (set.channelCount >= kMaxChannels || kind < 0 || kind >= kChannelKindCount) return false;
  const int slot = set.channelCount++;
  set.kinds[slot] = kind;
  set.flags |= kChannelsChanged;
  if (kind == kKindObjectPosition) set.objectPositionSlot = slot;
  if (kind == kKindWorldPosition) set.worldPositionSlot = slot;
  return true;
}

void resetChannelSet(ChannelSet& set) {
  set.flags = (set.flags & ~(kChannelsSetUp | kChannelsReady)) | kChannelsReset;
  set.active = 0;
  set.camera = nullptr;
}

int channelSlotOf(const ChannelSet& set, int kind) {
  for (int i = 0; i < set.channelCount; ++i)
    if (set.kinds[i] == kind) return i;
  return -1;
}

void setUpChannelSet(ChannelSet& set, const ChannelSetup& setup) {
  if (!setup.layout || set.channelCount == 0 || (set.flags & kChannelsSetUp)) {
    set.flags = (set.flags & ~kChannelsReady) | kChannelsSetUp;
    return;
  }
  set.time = setup.time;
  set.frame = setup.frame;
  set.camera = setup.camera;

  // Lights with capture slots, in the list's order.
  std::fill(std::begin(set.lightIds), std::end(set.lightIds), nullptr);
  set.lightCount = 0;
  if (setup.lights) {
    set.lightCount = std::clamp(setup.lights->captureCount, 0, kMaxCaptureLights);
    for (int i = 0; i < set.lightCount; ++i) set.lightIds[i] = setup.lights->records[i].id;
  }
  if (setup.cameraPosition) std::memcpy(set.cameraPosition, setup.cameraPosition, sizeof set.cameraPosition);

  set.x0 = setup.x0, set.x1 = setup.x1, set.y0 = setup.y0, set.y1 = setup.y1;
  set.grid = setup.grid;

  // Reuse the buffer when the grid keeps its size, else make a new one.
  if (set.buffer && set.buffer->width() == set.grid.width && set.buffer->height() == set.grid.height) {
    set.buffer->clearTiles();
  } else {
    set.buffer = RecordBuffer::create(set.grid.width, set.grid.height, kRequestedTileSide);
  }
  set.bufferReady = set.buffer != nullptr;
  if (!set.buffer) {
    set.flags |= kChannelsSetUp;
    return;
  }

  // Every slot gets its size and alignment by kind (the light count sets the
  // per-light ones); an empty per-light slot keeps a minimal size.
  set.buffer->clearSlots();
  for (int i = 0; i < set.channelCount; ++i) {
    const int alignment = channelKindAlignment(set.kinds[i]);
    const int size = std::max(channelKindSize(set.kinds[i], set.lightCount), alignment);
    set.buffer->addSlot(size, alignment);
  }
  set.buffer->layOut();
  set.active = 1;
  set.flags |= kChannelsSetUp | kChannelsReady;
}

}  // namespace orvik
