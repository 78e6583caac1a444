// How much of a light's unshadowed light reaches a sample: the host's
// illumination query against the light's own sampling, the module's coloured
// shadow ray for shadow-mapped lights when the master asks for good shadows,
// and the depth maps a sibling light plug-in may publish in the shared light
// block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/shader.h"
#include "shading/light_list.h"
#include "shading/models/vec3.h"

namespace orvik {

struct ThreadRecord;

// The shared light block, found by name in the host's Global Render Memory (where the
// pixel filter finds or creates it).
//
// Layout (little-endian 32-bit fields, sizes and offsets as the sibling plug-in
// writes them):
//   0     first light entry, 0 when there is no data
//   4     128 signed x offsets of the filter pattern
//   516   128 signed y offsets
//   1028  number of offsets in use
// Light entries are 1024 bytes apart; the list ends at an entry whose item ID is 0:
//   416   26 doubles of the projection record
//   788   depth map width, 792 its height
//   996   light item ID (its low 32 bits)
//   1000  the depth map: width x height floats, row by row
//   1012  non-zero when the entry is valid
//
// A 32-bit field cannot hold an address in a 64-bit process, so the two
// "address" fields (at 0 and at entry offset 1000) hold byte offsets from the
// start of the block, and entries and depth maps live inside the block, whose
// size the render memory service reports. Every offset is checked against that
// size before it is read.
inline constexpr const char* kSharedLightBlockName = "QWIL_LIGHT_1.5";
inline constexpr std::size_t kSharedLightHeaderSize = 1032;
inline constexpr std::size_t kSharedLightEntrySize = 1024;
inline constexpr std::size_t kSharedEntryProjection = 416;
inline constexpr std::size_t kSharedEntryWidth = 788;
inline constexpr std::size_t kSharedEntryHeight = 792;
inline constexpr std::size_t kSharedEntryItem = 996;
inline constexpr std::size_t kSharedEntryDepths = 1000;
inline constexpr std::size_t kSharedEntryValid = 1012;
inline constexpr std::size_t kSharedPatternX = 4;
inline constexpr std::size_t kSharedPatternY = 516;
inline constexpr std::size_t kSharedPatternCount = 1028;

struct SharedLightBlock {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// Looks the block up again (new time); without the service or the block it is empty.
void refreshSharedLightBlock();
void setSharedLightBlock(SharedLightBlock block);  // tests and hosts without the service
SharedLightBlock sharedLightBlock();

// Visibility of p in the depth map published for a light: the share of the filter
// pattern that sees the light; a negative result when the block holds no valid entry
// for the light (or is malformed).
double sharedDepthMapVisibility(const SharedLightBlock& block, HostItemId light, Vec3 p);

// Ratio method tolerances.
inline constexpr double kMinimumLitForRatio = 0.01;
inline constexpr double kRatioLow = -0.005;
inline constexpr double kRatioHigh = 1.005;
inline constexpr double kNoValidRatio = 1e-7;
inline constexpr double kUnshadowedRatio = 0.999999;
inline constexpr double kShadowRayOffset = 1e-6;
// Distance to which the coloured shadow ray of a distant light is cast.
inline constexpr double kDistantShadowReach = 1e6;

struct ShadowQuery {
  HostShaderAccess* access = nullptr;  // illuminate and rayShade of the sample
  Vec3 position;
  Vec3 geometricNormal;
  double rayLength = 0.0;
  double time = 0.0;
  bool goodShadows = false;        // the master's GOODSHADOWS
  bool pixelFilterPresent = false;
  ThreadRecord* thread = nullptr;  // the sample's thread record; looked up when absent
};

// Per-channel transmission 0..1 of the light at the sample, for the unshadowed
// light `lit` the light's own sampling gives (direction toward the light).
Vec3 shadowTransmission(const LightRecord& light, const ShadowQuery& query, Vec3 lit, Vec3 toLight);

}  // namespace orvik
