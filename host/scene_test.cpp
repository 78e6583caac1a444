#include "host/scene.h"

#include <gtest/gtest.h>

namespace orvik::host {
namespace {

constexpr double kEps = 1e-9;

void expectNear(const Vec3& a, const Vec3& b, double eps = kEps) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

TEST(SceneMotion, InterpolatesBetweenKeysAndHoldsOutside) {
  Motion m;
  m.setKey({2.0, {10, 0, 0}, {90, 0, 0}, {3, 3, 3}});
  m.setKey({0.0, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}});  // inserted before: keys stay sorted
  ASSERT_EQ(m.keys.size(), 2u);
  EXPECT_EQ(m.keys.front().time, 0.0);

  const TransformKey mid = m.at(0.5);
  expectNear(mid.position, {2.5, 0, 0});
  expectNear(mid.rotation, {22.5, 0, 0});
  expectNear(mid.scale, {1.5, 1.5, 1.5});
  expectNear(m.at(-5.0).position, {0, 0, 0});
  expectNear(m.at(99.0).position, {10, 0, 0});

  // A key at an existing time replaces it rather than adding a second.
  m.setKey({2.0, {20, 0, 0}, {}, {1, 1, 1}});
  EXPECT_EQ(m.keys.size(), 2u);
  expectNear(m.at(2.0).position, {20, 0, 0});
}

TEST(SceneMotion, NoKeysIsTheIdentity) {
  const TransformKey k = Motion{}.at(3.0);
  expectNear(k.position, {});
  expectNear(k.scale, {1, 1, 1});
}

TEST(SceneEnvelope, ConstantOrKeyed) {
  Envelope e(0.25);
  EXPECT_EQ(e.at(100.0), 0.25);
  e.keys = {{0.0, 0.0}, {1.0, 1.0}};
  EXPECT_NEAR(e.at(0.25), 0.25, kEps);
  EXPECT_EQ(e.at(-1.0), 0.0);
  EXPECT_EQ(e.at(5.0), 1.0);
}

TEST(SceneTransform, AxesFollowTheHostsConventions) {
  Scene s;
  Light l;
  l.name = "Spot";
  // Heading 90 turns the forward axis (+Z) toward +X.
  l.motion.keys = {{0.0, {1, 2, 3}, {90, 0, 0}, {1, 1, 1}}};
  const ItemId spot = s.addLight(l);
  expectNear(s.forwardVector(spot, 0.0), {1, 0, 0});
  expectNear(s.rightVector(spot, 0.0), {0, 0, -1});
  expectNear(s.worldPosition(spot, 0.0), {1, 2, 3});

  // Pitch 90 looks straight down.
  l.motion.keys = {{0.0, {}, {0, 90, 0}, {1, 1, 1}}};
  const ItemId down = s.addLight(l);
  expectNear(s.forwardVector(down, 0.0), {0, -1, 0});
  expectNear(s.upVector(down, 0.0), {0, 0, 1});

  // Bank keeps the forward axis.
  l.motion.keys = {{0.0, {}, {0, 0, 45}, {1, 1, 1}}};
  const ItemId banked = s.addLight(l);
  expectNear(s.forwardVector(banked, 0.0), {0, 0, 1});
}

TEST(SceneTransform, ChildrenFollowTheirParentAndScale) {
  Scene s;
  Object parent;
  parent.name = "Arm";
  parent.motion.keys = {{0.0, {0, 1, 0}, {90, 0, 0}, {2, 2, 2}}, {1.0, {0, 3, 0}, {90, 0, 0}, {2, 2, 2}}};
  const ItemId arm = s.addObject(parent);
  Object child;
  child.name = "Hand";
  child.parent = arm;
  child.motion.keys = {{0.0, {0, 0, 1}, {}, {1, 1, 1}}};
  const ItemId hand = s.addObject(child);
  // The child's local +Z offset of 1 is turned to +X and doubled.
  expectNear(s.worldPosition(hand, 0.0), {2, 1, 0});
  expectNear(s.worldPosition(hand, 0.5), {2, 2, 0});
  // Inverse of the world transform takes the world point back home.
  const Affine w = s.worldTransform(hand, 0.25);
  expectNear(w.inverse().point(w.point({0.3, -0.2, 0.7})), {0.3, -0.2, 0.7});
}

TEST(SceneTransform, ParentCycleDoesNotHang) {
  Scene s;
  Object a;
  a.name = "A";
  const ItemId ida = s.addObject(a);
  Object b;
  b.name = "B";
  b.parent = ida;
  const ItemId idb = s.addObject(b);
  s.object(ida)->parent = idb;  // a cycle built by hand
  const Vec3 p = s.worldPosition(ida, 0.0);
  EXPECT_TRUE(std::isfinite(p.x));
}

TEST(SceneItems, SameNamedItemsGetInstanceNumbers) {
  Scene s;
  Light l;
  l.name = "Light";
  const ItemId a = s.addLight(l);
  const ItemId b = s.addLight(l);
  l.name = "Other";
  const ItemId c = s.addLight(l);
  l.name = "Light";
  const ItemId d = s.addLight(l);
  EXPECT_EQ(s.displayName(a), "Light");
  EXPECT_EQ(s.displayName(b), "Light (2)");
  EXPECT_EQ(s.displayName(c), "Other");
  EXPECT_EQ(s.displayName(d), "Light (3)");
  EXPECT_EQ(s.find(ItemType::Light, "Light (3)"), d);
  EXPECT_EQ(s.find(ItemType::Light, "Light"), a);
  // An object of the same name is a different type and counts alone.
  Object o;
  o.name = "Light";
  EXPECT_EQ(s.displayName(s.addObject(o)), "Light");
}

TEST(SceneItems, BonesAreNumberedPerOwner) {
  Scene s;
  Object o;
  o.name = "Arm";
  const ItemId arm1 = s.addObject(o);
  const ItemId arm2 = s.addObject(o);
  Bone b;
  b.name = "Bone";
  b.owner = arm1;
  const ItemId b1 = s.addBone(b);
  b.owner = arm2;
  const ItemId b2 = s.addBone(b);
  b.owner = arm1;
  const ItemId b3 = s.addBone(b);
  EXPECT_EQ(s.displayName(b1), "Bone");
  EXPECT_EQ(s.displayName(b2), "Bone");
  EXPECT_EQ(s.displayName(b3), "Bone (2)");
  EXPECT_EQ(s.displayName(arm2), "Arm (2)");
}

TEST(SceneItems, IdsAreCheckedBeforeUse) {
  Scene s;
  Camera c;
  c.name = "Cam";
  const ItemId cam = s.addCamera(c);
  EXPECT_TRUE(s.contains(cam));
  EXPECT_EQ(s.object(cam), nullptr);  // right index, wrong type
  EXPECT_FALSE(s.contains(kNoItem));
  EXPECT_FALSE(s.contains(makeItemId(ItemType::Camera, 1)));
  // The illumination pseudo-items and "no object" are never scene items.
  EXPECT_FALSE(s.contains(0x21000000u));
  EXPECT_FALSE(s.contains(0x22000000u));
  EXPECT_FALSE(s.contains(0x10007FFFu));
  EXPECT_FALSE(s.contains(0xF0000001u));
  EXPECT_EQ(s.next(cam), kNoItem);
  EXPECT_EQ(s.renderCamera(), cam);
  EXPECT_EQ(s.displayName(0x21000000u), "");
}

TEST(SceneBackdrop, GradientRunsFromNadirToZenith) {
  Backdrop b;
  b.gradient = true;
  expectNear(b.colorAlong({0, 1, 0}), b.zenith);
  expectNear(b.colorAlong({0, -5, 0}), b.nadir);
  expectNear(b.colorAlong({1, 0, 0}), b.sky);
  b.gradient = false;
  b.color = {0.1, 0.2, 0.3};
  expectNear(b.colorAlong({0, 1, 0}), b.color);
}

TEST(SceneRenderOptions, BitsFollowTheSwitches) {
  Scene s;
  s.render.rayTraceShadows = false;
  s.render.rayTraceReflection = true;
  s.render.rayTraceRefraction = false;
  s.render.rayTraceTransparency = false;
  EXPECT_EQ(s.renderOptionBits(), kRenderReflection);
}

}  // namespace
}  // namespace orvik::host
