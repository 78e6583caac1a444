// Which per-pixel values a stored preview frame captures, and the buffer of
// pixel records they go to.
//
// A channel kind names one value a capture can hold: kinds 0 to 34 are the
// fields of the host's shading access in their order, kinds 35 to 47 the
// module's own inputs of the evaluation.
#pragma once

#include <cstdint>
#include <memory>

#include "preview/record_buffer.h"
#include "sdk/types.h"

namespace orvik {

struct LightList;

inline constexpr int kMaxChannels = 64;
inline constexpr int kMaxCaptureLights = 256;
inline constexpr int kNoSlot = -99;

// Kinds with a name of their own (the rest are host access fields by number).
enum ChannelKind : int {
  kKindPixel = 0,
  kKindObjectPosition = 1,
  kKindWorldPosition = 2,
  kKindGeometricNormal = 3,
  kKindRaySource = 5,
  kKindObjectId = 10,
  kKindPolygonNumber = 11,
  kKindNormal = 12,
  kKindColour = 13,
  kKindLuminous = 14,
  kKindDiffuse = 15,
  kKindSpecular = 16,
  kKindMirror = 17,
  kKindTransparency = 18,
  kKindRoughness = 20,
  kKindSourceId = 23,
  kKindNormalBeforeBump = 24,
  kKindTranslucency = 26,
  kKindFillLight = 28,
  kKindAddTransparency = 29,
  kKindDiffuseSharpness = 30,
  kKindPolygon = 34,
  kKindRadiosityCache = 35,
  kKindLightBytes = 36,
  kKindShadowBytes = 37,
  kKindSurfaceId = 39,
  kKindRefractionColour = 40,
  kKindReflectionColour = 41,
  kKindThickness = 42,
  kKindLightTranslucency = 43,
  kKindReflectionHitFraction = 45,
  kKindSamplingWeight = 46,
  kKindAnisotropyAngle = 47,
  kChannelKindCount = 48,
};

// Bytes of a kind's value for a light count, 0 for a kind that is never
// written; and its alignment. Host item handles (kinds 10, 23, 34, 39) are
// addresses, so they take 8 bytes.
int channelKindSize(int kind, int lightCount);
int channelKindAlignment(int kind);

// Flag bits of a channel set.
inline constexpr unsigned kChannelsChanged = 0x2;
inline constexpr unsigned kChannelsReset = 0x4;
inline constexpr unsigned kChannelsSetUp = 0x8;
inline constexpr unsigned kChannelsReady = 0x10;

// The capture grid: frame pixels per cell and the frame pixel of cell (0, 0).
struct PreviewGrid {
  int width = 1, height = 1;
  int stepX = 2, stepY = 1;
  int originX = 0, originY = 0;
};

struct ChannelSet {
  HostItemId lightIds[kMaxCaptureLights] = {};
  double time = 0.0;
  double cameraPosition[3] = {0.0, 0.0, 0.0};
  int frame = 0;
  int bufferReady = 0;
  int objectPositionSlot = kNoSlot, worldPositionSlot = kNoSlot;
  int active = 0;
  int channelCount = 0;
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;  // capture rectangle
  PreviewGrid grid;
  int kinds[kMaxChannels] = {};
  int lightCount = 0;
  unsigned flags = 0;
  HostItemId camera = nullptr;
  std::unique_ptr<RecordBuffer> buffer;
};

// Adds a kind in the next slot; false when the set is full or the kind unknown.
bool registerChannel(ChannelSet& set, int kind);
// Clears the per-frame state: set up again before the next capture.
void resetChannelSet(ChannelSet& set);

// What setting a channel set up for a frame needs of the scene.
struct ChannelSetup {
  bool layout = true;          // the host is the animation module
  int frame = 0;
  double time = 0.0;
  HostItemId camera = nullptr;
  const double* cameraPosition = nullptr;  // 3 doubles, or null
  const LightList* lights = nullptr;       // the lights captured, or null
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;      // the rendered region
  PreviewGrid grid;
};
// Sets the set up for a frame (once per reset): records the frame, its
// lights and grid, and (re)creates the record buffer with one slot per
// channel. Stays inactive when it cannot.
void setUpChannelSet(ChannelSet& set, const ChannelSetup& setup);

// The slot index of a kind, or -1.
int channelSlotOf(const ChannelSet& set, int kind);

}  // namespace orvik
