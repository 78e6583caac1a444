#include "module/colored_shadow_ray.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "module/host_services.h"
#include "module/testing_fake_host.h"
#include "module/thread_slots.h"

namespace orvik {
namespace {

using testing::FakeHost;
using testing::FakeItem;
using testing::idOf;

// Surfaces along the x axis, each a plane at some x.
struct Pane {
  double x;
  FakeItem *object;
  double color[3];
  double transparency;
  double fillLight;  // what the module's light path would record
};

std::vector<Pane> *g_panes = nullptr;

double shadeAlongX(void *, const double position[3], const double direction[3],
                   HostShaderAccess *hit) {
  EXPECT_EQ(threadRecord().rayMode, kRayModeColoredShadow);
  for (const Pane &pane : *g_panes) {
    const double t = (pane.x - position[0]) / direction[0];
    if (t > 0) {
      std::memset(hit, 0, sizeof *hit);
      hit->objID = idOf(pane.object);
      std::memcpy(hit->color, pane.color, sizeof pane.color);
      hit->transparency = pane.transparency;
      threadRecord().frontLight = pane.fillLight;
      return t;
    }
  }
  return -1.0;
}

class ColoredShadowRay : public ::testing::Test {
 protected:
  void SetUp() override {
    resetHostServices();
    ASSERT_EQ(acquireServices(FakeHost::global(), 4), HOST_AFUNC_OK);
    g_panes = &panes;
    sample.rayShade = shadeAlongX;
    sample.objID = idOf(receiver);
    sample.color[0] = 0.125;
    sample.flags = 5;
  }
  void TearDown() override {
    g_panes = nullptr;
    resetHostServices();
  }
  double trace(double tau[3]) {
    const double from[3] = {0, 0, 0}, to[3] = {10, 0, 0};
    return coloredShadowRay(&sample, from, to, 0.0, tau);
  }
  FakeHost host;
  FakeItem *receiver = host.add(HOST_ITEM_OBJECT, "Receiver");
  FakeItem *glass = host.add(HOST_ITEM_OBJECT, "Glass");
  std::vector<Pane> panes;
  HostShaderAccess sample{};
};

TEST_F(ColoredShadowRay, NothingInBetweenTransmitsEverything) {
  double tau[3] = {7, 7, 7};
  EXPECT_EQ(trace(tau), 0);
  EXPECT_EQ(tau[0], 1.0);
  EXPECT_EQ(tau[1], 1.0);
  EXPECT_EQ(tau[2], 1.0);
  const double same[3] = {1, 2, 3};
  EXPECT_EQ(coloredShadowRay(&sample, same, same, 0.0, tau), 0);
}

TEST_F(ColoredShadowRay, OpaqueCasterBlocksAndTheSampleIsRestored) {
  panes.push_back({5.0, glass, {1, 1, 1}, 0.0, 0.0});
  const HostShaderAccess before = sample;
  threadRecord().rayMode = kRayModeShadowQuery;
  double tau[3];
  EXPECT_EQ(trace(tau), 1);
  EXPECT_EQ(tau[0], 0.0);
  EXPECT_EQ(tau[1], 0.0);
  EXPECT_EQ(tau[2], 0.0);
  EXPECT_EQ(std::memcmp(&before, &sample, sizeof sample), 0);
  EXPECT_EQ(threadRecord().rayMode, kRayModeShadowQuery);
}

TEST_F(ColoredShadowRay, ColouredGlassTintsAndDissolveLetsLightThrough) {
  // Fill-light 1: the surface colour filters fully.
  panes.push_back({3.0, glass, {1.0, 0.5, 0.0}, 0.8, 1.0});
  double tau[3];
  EXPECT_EQ(trace(tau), 1);
  EXPECT_DOUBLE_EQ(tau[0], 0.8);
  EXPECT_DOUBLE_EQ(tau[1], 0.4);
  EXPECT_DOUBLE_EQ(tau[2], 0.0);

  glass->dissolve = 0.5;
  EXPECT_EQ(trace(tau), 1);
  EXPECT_DOUBLE_EQ(tau[0], 0.9);
  EXPECT_DOUBLE_EQ(tau[2], 0.5);
}

TEST_F(ColoredShadowRay, NonCastersAndSelfShadowing) {
  panes.push_back({2.0, glass, {1, 1, 1}, 0.0, 0.0});
  glass->shadowOptions = HOST_OSHADOW_RECEIVE;  // does not cast
  double tau[3];
  EXPECT_EQ(trace(tau), 1) << "the surface is counted even when it casts no shadow";
  EXPECT_EQ(tau[0], 1.0);

  // The sample's own object shadows itself only with the self bit.
  panes[0].object = receiver;
  receiver->shadowOptions = HOST_OSHADOW_CAST;
  trace(tau);
  EXPECT_EQ(tau[0], 1.0);
  receiver->shadowOptions = HOST_OSHADOW_CAST | HOST_OSHADOW_SELF;
  trace(tau);
  EXPECT_EQ(tau[0], 0.0);
}

TEST_F(ColoredShadowRay, StopsAfterSixteenSurfaces) {
  for (int i = 1; i <= 40; ++i) panes.push_back({i * 0.2, glass, {1, 1, 1}, 1.0, 0.0});
  double tau[3];
  EXPECT_EQ(trace(tau), kMaxShadowSurfaces);
  EXPECT_EQ(tau[0], 1.0);
}

TEST_F(ColoredShadowRay, SurfacesBeyondTheLightDoNotCount) {
  panes.push_back({12.0, glass, {0, 0, 0}, 0.0, 0.0});
  double tau[3];
  EXPECT_EQ(trace(tau), 0);
  EXPECT_EQ(tau[0], 1.0);
}

}  // namespace
}  // namespace orvik
