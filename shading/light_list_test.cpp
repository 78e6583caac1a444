// Reading the host's lights into the frame's LightList, and the depth maps of
// the shared light block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "shading/eval_fake_host.h"
#include "shading/light_list.h"
#include "shading/shadow_transmission.h"

namespace orvik {
namespace {

using evaltest::FakeEvalHost;
using evaltest::FakeLight;

TEST(LightListTest, RecordsTakeGeometryColourAndConeFromTheHost) {
  FakeEvalHost host;
  FakeLight linear;
  linear.type = HOST_LIGHT_LINEAR;
  linear.position[0] = 2.0;
  linear.forward[0] = 0.0, linear.forward[2] = 3.0;  // the light is 3 long
  linear.colour[1] = 0.5;
  linear.intensity = 2.0;
  linear.shadowColour[0] = 0.2;
  linear.shadowLevel = 0.5;
  FakeLight area;
  area.type = HOST_LIGHT_AREA;
  area.right[0] = 0.0;  // collapsed: replaced by a tiny edge along the right axis
  area.up[1] = 2.0;
  FakeLight spot;
  spot.type = HOST_LIGHT_SPOT;
  spot.cone = 0.3, spot.edge = 0.0;
  spot.quality = 0;
  host.lights = {linear, area, spot};

  LightList list;
  ASSERT_EQ(buildLightList(list, 0.0), 3);
  EXPECT_EQ(list.captureCount, 3);
  EXPECT_EQ(list.ambient, (Vec3{0.1, 0.2, 0.3}));

  const LightRecord& l = list.records[0];
  EXPECT_EQ(l.u, (Vec3{0, 0, 3}));
  EXPECT_EQ(l.origin, (Vec3{2, 0, -1.5}));
  EXPECT_EQ(l.colour, (Vec3{4, 2, 4}));  // colour x intensity, doubled for linear and area lights
  EXPECT_EQ(l.shadowColour, (Vec3{0.2, 0, 0}));

  const LightRecord& a = list.records[1];
  EXPECT_NEAR(a.uLengthSquared, 1e-16, 1e-20);
  EXPECT_EQ(a.v, (Vec3{0, 2, 0}));
  EXPECT_NEAR(a.origin.y, -1.0, 1e-12);

  const LightRecord& s = list.records[2];
  EXPECT_EQ(s.edgeAngle, kMinimumSpotEdge);
  EXPECT_DOUBLE_EQ(s.cosOuter, std::cos(0.3));
  EXPECT_DOUBLE_EQ(s.cosInner, std::cos(0.3 - kMinimumSpotEdge));
  EXPECT_EQ(s.quality, 1);  // a reported quality below 1 samples at 1
  EXPECT_EQ(s.rawQuality, 0);
  EXPECT_EQ(s.groupMask, 0u);  // no master, no groups
}

TEST(LightListTest, BuildStopsAt256AndAppendGivesNoCaptureSlots) {
  FakeEvalHost host;
  host.lights.resize(300);
  static LightList list;
  EXPECT_EQ(buildLightList(list, 0.0), kMaxLights);

  host.lights.resize(3);
  buildLightList(list, 0.0);
  host.lights.resize(5);
  EXPECT_EQ(appendLightList(list, 0.0), 2);
  EXPECT_EQ(list.lightCount, 5);
  EXPECT_EQ(list.captureCount, 3);
  EXPECT_EQ(appendLightList(list, 0.0), 0);  // nothing new

  host.lights[4].intensity = 3.0;
  EXPECT_EQ(refreshLightList(list, 0.0, FakeEvalHost::idOf(4)), 1);
  EXPECT_EQ(list.records[4].colour, (Vec3{3, 3, 3}));
  EXPECT_EQ(refreshLightList(list, 0.0, nullptr), 5);
}

TEST(LightListTest, DefaultListHoldsOneDistantLightWithoutCaptureSlot) {
  const LightList& list = defaultLightList();
  ASSERT_EQ(list.lightCount, 1);
  EXPECT_EQ(list.captureCount, 0);
  const LightSample s = sampleLight(list.records[0].geometry(), {0, 0, 0}, 0.5, 0.5);
  EXPECT_NEAR(s.direction.y, 0.5773502692, 1e-9);  // light comes from above
  EXPECT_EQ(s.colour, (Vec3{1, 1, 1}));
}

// A block with one entry for a light: a 4 x 4 depth map at depth 10 whose left half
// is at depth 1, seen straight on (x and y are the world x and y, z the depth).
std::vector<unsigned char> sharedBlock(std::uint32_t lightKey, std::uint32_t depthsAt) {
  std::vector<unsigned char> b(kSharedLightHeaderSize + kSharedLightEntrySize + 16 * sizeof(float) + 64, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
  const std::size_t entry = 1040;  // after the header, 8-byte aligned
  put32(0, entry);
  put32(kSharedPatternCount, 1);  // one offset (0, 0)
  double record[26] = {};
  record[17 + 2] = 1.0;  // z = P.z
  record[20 + 0] = 1.0;  // x = P.x / z
  record[23 + 1] = 1.0;  // y = P.y / z
  std::memcpy(b.data() + entry + kSharedEntryProjection, record, sizeof record);
  put32(entry + kSharedEntryWidth, 4);
  put32(entry + kSharedEntryHeight, 4);
  put32(entry + kSharedEntryItem, lightKey);
  put32(entry + kSharedEntryDepths, depthsAt);
  put32(entry + kSharedEntryValid, 1);
  float depths[16];
  for (int i = 0; i < 16; ++i) depths[i] = (i % 4) < 2 ? 1.0f : 10.0f;
  if (depthsAt + sizeof depths <= b.size()) std::memcpy(b.data() + depthsAt, depths, sizeof depths);
  return b;
}

TEST(LightListTest, SharedDepthMapsAreReadInsideTheBlockOnly) {
  const HostItemId light = reinterpret_cast<HostItemId>(std::uintptr_t{0x5150});
  const std::uint32_t depthsAt = 1040 + kSharedLightEntrySize;
  std::vector<unsigned char> b = sharedBlock(0x5150, depthsAt);
  const SharedLightBlock block{b.data(), b.size()};
  // z = 5: behind the near half (depth 1), in front of the far half (depth 10).
  EXPECT_EQ(sharedDepthMapVisibility(block, light, {0.2 * 5, 1.2 * 5, 5}), 0.0);
  EXPECT_EQ(sharedDepthMapVisibility(block, light, {3.2 * 5, 1.2 * 5, 5}), 1.0);
  // Another light, a depth map past the end of the block, or no block: nothing to say.
  EXPECT_LT(sharedDepthMapVisibility(block, reinterpret_cast<HostItemId>(std::uintptr_t{0x99}), {1, 1, 5}), 0.0);
  std::vector<unsigned char> cut = sharedBlock(0x5150, std::uint32_t(b.size() - 8));
  EXPECT_LT(sharedDepthMapVisibility({cut.data(), cut.size()}, light, {1, 1, 5}), 0.0);
  EXPECT_LT(sharedDepthMapVisibility({}, light, {1, 1, 5}), 0.0);
}

}  // namespace
}  // namespace orvik
