// The frame's lights as the shading reads them: one LightRecord per scene
// light, read from the host's item and light services at a time, and the
// LightList that holds up to 256 of them with the scene's ambient colour.
#pragma once

#include <atomic>
#include <cstdint>

#include "sdk/types.h"
#include "shading/models/light_sample.h"
#include "shading/models/vec3.h"

namespace orvik {

inline constexpr int kMaxLights = 256;
// Appending stops below this count so that the list always keeps a free record.
inline constexpr int kMaxAppendedLightCount = 255;

// Direction of the one distant light of the default list (samples without an object).
inline constexpr Vec3 kDefaultLightDirection{0.5773502692, -0.5773502692, 0.5773502692};

// Limits applied when a record is read.
inline constexpr double kMinimumEdgeLengthSquared = 1e-10;
inline constexpr double kDegenerateEdgeScale = 1e-8;
inline constexpr double kMinimumSpotEdge = 1e-5;
inline constexpr double kMinimumConeOverEdge = 1e-7;
inline constexpr double kMinimumRange = 1e-6;
inline constexpr double kHostMinimumDistance = 1e-14;
// Quality of linear and area lights when the host has only the older light interface.
inline constexpr int kOlderInterfaceQuality = 2;
inline constexpr int kOlderInterfaceRawQuality = 3;

struct LightRecord {
  Vec3 position;
  Vec3 forward{0.0, 0.0, 1.0}, right{1.0, 0.0, 0.0}, up{0.0, 1.0, 0.0};
  Vec3 origin;
  Vec3 u, v;
  double uLengthSquared = 0.0, vLengthSquared = 0.0;
  Vec3 colour;
  double coneAngle = 0.0, edgeAngle = 0.0;
  double cosInner = 1.0, cosOuter = 1.0;
  double range = 1.0;
  std::uint32_t groupMask = 0;
  int type = 1;        // LightType
  int shadowType = 0;  // 1 ray-traced, 2 shadow map
  int falloff = 0;
  int quality = 1, rawQuality = 1;
  unsigned flags = 0;
  HostItemId id = nullptr;
  HostImageId projectionImage = nullptr;
  ProjectionImageView projection;  // usable only when projectionImage is set
  Vec3 shadowColour;
  double minimumDistance = kHostMinimumDistance;

  bool isAreaKind() const { return type == static_cast<int>(LightType::Linear) || type == static_cast<int>(LightType::Area); }
  // The record as light sampling reads it.
  LightGeometry geometry() const;
};

struct LightList {
  Vec3 ambient;
  int lightCount = 0;
  int captureCount = 0;  // the first captureCount lights have capture slots
  LightRecord records[kMaxLights];
};

// Reads one light at a time into a record (position, axes, edges, colour x intensity,
// cone, range, shadow, quality, falloff, projection image, shadow colour, minimum distance).
// False when the host's services are missing.
bool readLightRecord(HostItemId light, double time, LightRecord& out);

// Build: the host's lights in its order (at most 256), both counts set, ambient, masks.
int buildLightList(LightList& list, double time);
// Append: lights not yet listed, while fewer than 255; they get no capture slot.
int appendLightList(LightList& list, double time);
// Refresh: re-reads every record with a light item, or only the given item's.
int refreshLightList(LightList& list, double time, HostItemId item);
// Group masks of every record from the master (0 without one).
void computeGroupMasks(LightList& list);

// The one-light list of samples without an object.
const LightList& defaultLightList();

// The module-wide list the render uses, built at every new time.
LightList& renderLightList();
// The list the shading of this frame reads (the render list, the default list or a
// preview store's list).
const LightList* currentLightList();
void setCurrentLightList(const LightList* list);

// Builds the render list for the time and makes it current; this is the surface
// instances' light gathering at new time.
void gatherRenderLights(int frame, double time);
// Installs gatherRenderLights as the surface instances' light-gathering hook.
void installLightGathering();

}  // namespace orvik
