// The evaluation pipeline against a fake host: component mask, light groups,
// exclusion, output tags, darkening, art mode, sample kinds and the module's
// own rays, back faces, area lights and the diffuse energy bound.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "module/thread_slots.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/image_control.h"
#include "panels/numeric_control.h"
#include "shading/eval_fake_host.h"
#include "shading/evaluate.h"
#include "shading/models/glossy_rays.h"
#include "shading/shade_sample.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

using evaltest::FakeEvalHost;

HostItemId fakeItem(std::uintptr_t n) { return reinterpret_cast<HostItemId>(n); }

LightRecord pointLight(Vec3 position, Vec3 colour = {1, 1, 1}) {
  LightRecord r;
  r.type = static_cast<int>(LightType::Point);
  r.position = r.origin = position;
  r.colour = colour;
  r.range = 1e6;
  r.id = fakeItem(0x100);
  return r;
}

LightRecord distantLight(Vec3 towardLight, Vec3 colour = {1, 1, 1}) {
  LightRecord r = pointLight({0, 0, 0}, colour);
  r.type = static_cast<int>(LightType::Distant);
  r.forward = normalize(-towardLight);
  return r;
}

LightRecord areaLight(Vec3 centre, double side, bool linear) {
  LightRecord r = pointLight(centre);
  r.type = static_cast<int>(linear ? LightType::Linear : LightType::Area);
  r.forward = linear ? Vec3{1, 0, 0} : Vec3{0, -1, 0};  // a linear light lies along its forward axis
  r.right = {1, 0, 0};
  r.up = {0, 0, 1};
  r.u = linear ? Vec3{side, 0, 0} : Vec3{side, 0, 0};
  r.v = linear ? Vec3{} : Vec3{0, 0, side};
  r.uLengthSquared = lengthSquared(r.u);
  r.vLengthSquared = lengthSquared(r.v);
  r.origin = centre - (r.u + r.v) * 0.5;
  return r;
}

// The access record of a camera sample at the origin on a floor facing +Y.
struct Sample {
  HostShaderAccess sa{};
  Sample() {
    sa.raySource[1] = 5.0;
    sa.rayLength = 5.0;
    sa.gNorm[1] = sa.wNorm[1] = sa.wNorm0[1] = 1.0;
    sa.color[0] = sa.color[1] = sa.color[2] = 1.0;
    sa.diffuse = 1.0;
    sa.roughness = 0.01;
    sa.difSharpness = 1.0;
    sa.eta = 1.0;
    sa.objID = fakeItem(0x200);
    const float quad[4][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
    std::memcpy(sa.vertsWPos, quad, sizeof quad);
    for (int i = 0; i < 9; i += 4) sa.wXfrm[i] = 1.0;
  }
  void flipWinding() {
    const float quad[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
    std::memcpy(sa.vertsWPos, quad, sizeof quad);
  }
};

class EvaluateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetThreadRecords();
    inst = buildSurfaceInstance();
    ASSERT_NE(inst, nullptr);
    inst->runtime.aliveMark = kSurfaceAliveMark;
    inst->runtime.surfaceId = 0x300;
    number("STRENGTH1", 0.0);  // no specular unless a test asks for it
    prepareSurfaceInstance(inst);
  }
  void TearDown() override { freeSurfaceInstance(inst); }

  void number(const char* key, double v) {
    NumericControl* n = AsNumeric(inst->control(key));
    ASSERT_NE(n, nullptr) << key;
    n->value = v;
    prepareSurfaceInstance(inst);
  }
  void check(const char* key, bool on) {
    ButtonControl* b = As<ButtonControl>(inst->control(key));
    ASSERT_NE(b, nullptr) << key;
    b->state = on ? kCheckOnValue : 0;
  }
  void colour(const char* key, int r, int g, int b) {
    ColorControl* c = As<ColorControl>(inst->control(key));
    ASSERT_NE(c, nullptr) << key;
    c->red = r, c->green = g, c->blue = b;
  }

  // Re-composition style shading: stored shadow bytes, nothing traced.
  Vec3 shadeStored(HostShaderAccess& sa, const LightList& list, std::uint32_t mask = 0xFFFFE7FFu,
                   std::vector<std::uint8_t>* bytes = nullptr, const float* refraction = nullptr,
                   const float* reflection = nullptr, float hit = 0.0f, float* cache = nullptr) {
    std::vector<std::uint8_t> own(3 * kMaxLights, 255);
    float zero[3] = {0, 0, 0};
    double out[3];
    ShadeSample(inst, &list, &sa, mask, nullptr, bytes ? bytes->data() : own.data(), cache ? cache : zero,
                reflection ? reflection : zero, hit, refraction ? refraction : zero, 0.5f, 0.0f, -1.0f, nullptr, out);
    return {out[0], out[1], out[2]};
  }

  SurfaceInstance* inst = nullptr;
};

LightList listOf(std::initializer_list<LightRecord> lights, int captured = -1) {
  static LightList list;  // large; one per test run is enough
  list = LightList{};
  for (const LightRecord& r : lights) list.records[list.lightCount++] = r;
  list.captureCount = captured < 0 ? list.lightCount : captured;
  return list;
}

void expectNear(Vec3 a, Vec3 b, double tolerance) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST_F(EvaluateTest, DiffuseMaskAloneKeepsOnlyTheDirectDiffuseLight) {
  FakeEvalHost host;
  LightList list = listOf({distantLight({0.3, 1.0, 0.2})});
  list.ambient = {0.3, 0.3, 0.3};
  Sample rich;
  rich.sa.luminous = 0.5;
  rich.sa.specular = 0.7;
  rich.sa.mirror = 0.5;
  rich.sa.addTransparency = 0.4;
  number("STRENGTH1", 1.0);
  const float refraction[3] = {1, 1, 1}, reflection[3] = {1, 1, 1};
  float cache[3] = {0.2f, 0.2f, 0.2f};
  const Vec3 diffuseOnly = shadeStored(rich.sa, list, kComponentDiffuse, nullptr, refraction, reflection, 0.5f, cache);

  Sample plain;  // the same sample with nothing but diffuse
  LightList dark = list;
  dark.ambient = {};
  const Vec3 reference = shadeStored(plain.sa, dark, kComponentDiffuse | kComponentSpecular | kComponentLuminous);
  EXPECT_GT(reference.x, 0.1);
  expectNear(diffuseOnly, reference, 1e-12);
}

TEST_F(EvaluateTest, SmoothDiffuseNeverExceedsLambertForWhiteLight) {
  FakeEvalHost host;
  number("ROUGHDIFFUSE", 0.0);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  int lit = 0;
  for (int i = 0; i < 300; ++i) {
    const Vec3 toLight = normalize({u(rng), u(rng), u(rng)});
    Vec3 view = normalize({u(rng), std::fabs(u(rng)) + 0.05, u(rng)});
    Sample s;
    s.sa.raySource[0] = view.x * 5, s.sa.raySource[1] = view.y * 5, s.sa.raySource[2] = view.z * 5;
    const LightList list = listOf({distantLight(toLight)});
    const Vec3 rgb = shadeStored(s.sa, list, kComponentDiffuse);
    const double lambert = std::max(0.0, toLight.y);
    EXPECT_LE(rgb.x, lambert + 1e-9) << "light " << toLight.x << " " << toLight.y << " " << toLight.z;
    if (lambert > 0.0) {
      ++lit;
      EXPECT_NEAR(rgb.x, lambert, 1e-9);
    }
  }
  EXPECT_GT(lit, 100);
}

TEST_F(EvaluateTest, GroupTwelveBoostScalesEveryLightType) {
  FakeEvalHost host;
  const LightRecord lights[] = {distantLight({0, 1, 0}), pointLight({0, 3, 0}), areaLight({0, 3, 0}, 1.0, false),
                                areaLight({0, 3, 0}, 1.0, true), [] {
                                  LightRecord spot = pointLight({0, 3, 0});
                                  spot.type = static_cast<int>(LightType::Spot);
                                  spot.forward = {0, -1, 0};
                                  spot.cosInner = 0.9, spot.cosOuter = 0.8;
                                  return spot;
                                }()};
  for (LightRecord light : lights) {
    SCOPED_TRACE(light.type);
    light.groupMask = 1u << 11;
    const LightList list = listOf({light});
    Sample s;
    AsNumeric(inst->lightGroupBoosts[11])->value = 1.0;
    const Vec3 base = shadeStored(s.sa, list);
    Sample t;
    AsNumeric(inst->lightGroupBoosts[11])->value = 2.5;
    const Vec3 boosted = shadeStored(t.sa, list);
    EXPECT_GT(base.x, 0.01);
    EXPECT_NEAR(boosted.x, 2.5 * base.x, 1e-9);
    // A light outside the group is left alone.
    light.groupMask = 1u << 3;
    const LightList other = listOf({light});
    Sample o;
    EXPECT_NEAR(shadeStored(o.sa, other).x, base.x, 1e-9);
  }
}

double tracedHit(void*, const double*, const double*, double c[3]) {
  c[0] = c[1] = c[2] = 0.0;
  return -1.0;
}
// Every real light arrives unshadowed; no radiosity or caustics.
int fullIlluminate(void*, HostItemId light, const double*, double*, double c[3]) {
  const auto id = reinterpret_cast<std::uintptr_t>(light);
  const bool pseudo = id == HOST_ILLUMINATE_RADIOSITY || id == HOST_ILLUMINATE_CAUSTICS;
  c[0] = c[1] = c[2] = pseudo ? 0.0 : 1.0;
  return !pseudo;
}

TEST_F(EvaluateTest, ExclusionZeroIgnoresTheHostListAndOneRemovesTheLight) {
  FakeEvalHost host;
  const LightList list = listOf({distantLight({0, 1, 0})});
  auto shadeBothWays = [&](double exclusion) {
    number("EXCLUSION", exclusion);
    Sample stored, traced;
    traced.sa.rayTrace = tracedHit;
    traced.sa.illuminate = fullIlluminate;
    return std::pair{shadeStored(stored.sa, list), shadeStored(traced.sa, list, kRenderComponents)};
  };
  const auto [storedFree, tracedFree] = shadeBothWays(1.0);
  host.excludeAll = true;
  const auto [storedIgnored, tracedIgnored] = shadeBothWays(0.0);
  const auto [storedRemoved, tracedRemoved] = shadeBothWays(1.0);
  const auto [storedHalf, tracedHalf] = shadeBothWays(0.5);
  EXPECT_GT(storedFree.x, 0.5);
  EXPECT_NEAR(storedIgnored.x, storedFree.x, 1e-12);
  EXPECT_NEAR(tracedIgnored.x, tracedFree.x, 1e-12);
  EXPECT_LT(storedRemoved.x, 1e-9);  // processing keeps every channel at least 1e-10
  EXPECT_LT(tracedRemoved.x, 1e-9);
  EXPECT_NEAR(storedHalf.x, 0.5 * storedFree.x, 1e-12);
  EXPECT_NEAR(tracedHalf.x, 0.5 * tracedFree.x, 1e-12);
}

unsigned lowBits(double v) { return std::bit_cast<std::uint32_t>(static_cast<float>(v)) & 0xFu; }

TEST_F(EvaluateTest, FullPathOutputCarriesTagsOnBothHostVersions) {
  {
    FakeEvalHost host(7);
    Sample s;
    s.sa.sourceID = fakeItem(0x400);
    s.sa.color[0] = 0.8, s.sa.color[1] = 0.5, s.sa.color[2] = 0.2;
    evaluate(inst, &s.sa);
    EXPECT_EQ(s.sa.flags, kKindSourceItem);
    EXPECT_EQ(s.sa.replacement_percentage, 1.0);
    EXPECT_EQ(lowBits(s.sa.replacement_color[0]), 3u);
    EXPECT_EQ(lowBits(s.sa.replacement_color[1]), 6u);
    EXPECT_EQ(lowBits(s.sa.replacement_color[2]), 13u);
    EXPECT_EQ(s.sa.color[0], 0.8);  // the host's channels are inputs on this version
  }
  {
    FakeEvalHost host(6);
    Sample s;
    s.sa.sourceID = fakeItem(0x400);
    s.sa.specular = s.sa.mirror = s.sa.transparency = s.sa.translucency = 0.5;
    evaluate(inst, &s.sa);
    EXPECT_EQ(s.sa.replacement_percentage, 0.0);
    EXPECT_EQ(lowBits(s.sa.color[0]), 3u);
    EXPECT_EQ(lowBits(s.sa.color[1]), 6u);
    EXPECT_EQ(lowBits(s.sa.color[2]), 13u);
    EXPECT_EQ(s.sa.luminous, 1.0);
    EXPECT_EQ(s.sa.diffuse + s.sa.specular + s.sa.mirror + s.sa.transparency + s.sa.translucency, 0.0);
  }
}

TEST_F(EvaluateTest, LuminousDarkeningWithoutLightKeepsTheColourUnprocessed) {
  FakeEvalHost host;
  check("ACTIVATEDARKEN", true);
  colour("DARKENCOLOR", 0, 0, 255);
  number("SAT", 0.0);  // would turn the colour grey if processing ran
  Sample s;
  s.sa.color[0] = 1.0, s.sa.color[1] = s.sa.color[2] = 0.0;
  s.sa.addTransparency = 0.5;
  const float refraction[3] = {0, 1, 0};
  const LightList none = listOf({});
  expectNear(shadeStored(s.sa, none, 0xFFFFE7FFu, nullptr, refraction), {1, 0, 0}, 1e-12);

  // With a light that is fully shadowed the darkening colour takes over.
  number("SAT", 1.0);
  const LightList one = listOf({distantLight({0, 1, 0})});
  std::vector<std::uint8_t> shadowed(3 * kMaxLights, 0);
  Sample t;
  t.sa.color[0] = 1.0, t.sa.color[1] = t.sa.color[2] = 0.0;
  expectNear(shadeStored(t.sa, one, 0xFFFFE7FFu, &shadowed), {0, 0, 1}, 1e-6);
}

TEST_F(EvaluateTest, ArtModeReturnsTheStudyColourAndClearsShadowBytes) {
  FakeEvalHost host;
  check("DO_ART", true);
  As<ImageControl>(inst->control("ART_IMNAME"))->image = reinterpret_cast<ImageHandle>(0x500);
  const LightList list = listOf({distantLight({0, 1, 0}), pointLight({0, 2, 0})});
  std::vector<std::uint8_t> bytes(3 * kMaxLights, 7);
  Sample s;
  const Vec3 rgb = shadeStored(s.sa, list, 0xFFFFE7FFu, &bytes);
  expectNear(rgb, {0.25, 0.5, 0.75}, 1e-6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bytes[i], 255);

  // The luminous component off gives black; an image 4101 wide is dropped.
  Sample t;
  expectNear(shadeStored(t.sa, list, kComponentDiffuse), {0, 0, 0}, 0.0);
  host.imageWidth = 4101;
  Sample u;
  shadeStored(u.sa, list);
  EXPECT_EQ(As<ImageControl>(inst->control("ART_IMNAME"))->image.get(), nullptr);
}

TEST_F(EvaluateTest, SamplesAreClassifiedByRayOriginAndMode) {
  ThreadRecord& t = threadRecord();
  Sample s;
  t.rayMode = 1;
  EXPECT_EQ(classifySample(&s.sa, t), 1);
  s.sa.sourceID = fakeItem(1);
  EXPECT_EQ(classifySample(&s.sa, t), kKindSourceItem);
  s.sa.sourceID = nullptr;
  s.sa.objID = reinterpret_cast<HostItemId>(std::uintptr_t{HOST_NO_OBJECT_ID});
  EXPECT_EQ(classifySample(&s.sa, t), kKindNoObjectCamera);
  s.sa.objID = fakeItem(0x200);

  // The module's own ray: the start must match within its own scale.
  t.rayMode = kRayModeOwnRay;
  t.rayStart[0] = 1000.0, t.rayStart[1] = -2.0, t.rayStart[2] = 0.0;
  s.sa.raySource[0] = 1000.0 + 5e-5, s.sa.raySource[1] = -2.0, s.sa.raySource[2] = 0.0;
  EXPECT_EQ(classifySample(&s.sa, t), kKindOwnRay);
  s.sa.raySource[0] = 1000.01;
  EXPECT_EQ(classifySample(&s.sa, t), kKindForeignRay);
  EXPECT_EQ(t.rayMode, 1);

  for (int mode : {0, 1, 4, 6, 7, 9, 11}) EXPECT_TRUE(isLightPathKind(mode)) << mode;
  for (int mode : {2, 3, 5, 8, 10, 12}) EXPECT_FALSE(isLightPathKind(mode)) << mode;
}

TEST_F(EvaluateTest, LightPathKeepsTheHostShadingAndZeroesBackFaces) {
  FakeEvalHost host;
  threadRecord().rayMode = 1;
  Sample s;
  s.sa.colorFL = 0.25;
  s.sa.specular = 0.3;
  evaluate(inst, &s.sa);
  EXPECT_EQ(s.sa.flags, 1);
  EXPECT_EQ(s.sa.replacement_percentage, 0.0);
  EXPECT_EQ(s.sa.specular, 0.3);
  EXPECT_EQ(threadRecord().frontLight, 0.25);

  check("ZEROBACK", true);
  Sample back;
  back.flipWinding();
  back.sa.specular = back.sa.mirror = 0.5;
  evaluate(inst, &back.sa);
  EXPECT_EQ(back.sa.diffuse + back.sa.specular + back.sa.mirror, 0.0);
  EXPECT_EQ(back.sa.transparency, 1.0);
  EXPECT_EQ(threadRecord().lightPass, 2);
}

// Counting ray functions that also check what a nested evaluate would see.
struct RayLog {
  int traces = 0;
  int ownRaysSeen = 0;
  double colour[3] = {0.2, 0.4, 0.6};
  double distance = 3.0;
};
RayLog* gLog = nullptr;
double loggedTrace(void*, const double* from, const double*, double c[3]) {
  ++gLog->traces;
  HostShaderAccess nested{};
  std::memcpy(nested.raySource, from, sizeof nested.raySource);
  nested.bounces = 1;
  nested.objID = fakeItem(0x200);
  if (classifySample(&nested, threadRecord()) == kKindOwnRay) ++gLog->ownRaysSeen;
  for (int i = 0; i < 3; ++i) c[i] = gLog->colour[i];
  return gLog->distance;
}

TEST_F(EvaluateTest, ReflectionRayCountFollowsTheSpread) {
  FakeEvalHost host;
  RayLog log;
  gLog = &log;
  inst->runtime.renderOptions = kRenderOptionRayTraceReflection;
  auto run = [&](double spread) {
    number("REFGLOSS", spread);
    log = RayLog{};
    Sample s;
    s.sa.mirror = 0.8;
    s.sa.sourceID = fakeItem(0x400);  // a camera sample
    s.sa.rayTrace = loggedTrace;
    threadRecord().rayMode = 1;
    evaluate(inst, &s.sa);
    EXPECT_EQ(threadRecord().rayMode, 1);  // put back on exit
    return log.traces;
  };
  EXPECT_EQ(run(0.0), 1);
  EXPECT_EQ(log.ownRaysSeen, 1);
  EXPECT_EQ(run(100.0), kMaxReflectionRays);
  EXPECT_EQ(log.ownRaysSeen, kMaxReflectionRays);
  host.reflectionOptions = 0;  // the host does not trace this surface's reflections
  EXPECT_EQ(run(0.0), 0);
  gLog = nullptr;
}

TEST_F(EvaluateTest, ZeroedBackFaceShowsOnlyWhatShinesThrough) {
  FakeEvalHost host;
  RayLog log;
  gLog = &log;
  check("ZEROBACK", true);
  Sample s;
  s.flipWinding();
  s.sa.sourceID = fakeItem(0x400);  // a sample the module refracts through
  s.sa.transparency = 0.5;
  s.sa.rayTrace = loggedTrace;
  evaluate(inst, &s.sa);
  EXPECT_EQ(log.traces, 1);
  expectNear({s.sa.replacement_color[0], s.sa.replacement_color[1], s.sa.replacement_color[2]}, {0.1, 0.2, 0.3},
             1e-6);
  gLog = nullptr;
}

TEST_F(EvaluateTest, ShrinkingAreaAndLinearLightsConvergeToThePointLight) {
  FakeEvalHost host;
  number("STRENGTH1", 1.0);
  for (bool linear : {false, true}) {
    // A linear light across the line of sight, so that its emitter factor is 1 there.
    const Vec3 centre = linear ? Vec3{0.0, 3.0, -0.3} : Vec3{0.4, 3.0, -0.3};
    Sample p;
    const Vec3 point = shadeStored(p.sa, listOf({pointLight(centre)}));
    ASSERT_GT(point.x, 0.01);
    double previous = 1e9;
    for (double side : {0.5, 0.05, 1e-4}) {
      Sample a;
      LightRecord light = areaLight(centre, side, linear);
      if (!linear) light.forward = normalize(-centre);  // facing the sample: emitter factor 1
      const Vec3 area = shadeStored(a.sa, listOf({light}));
      const double error = std::fabs(area.x - point.x) / point.x;
      EXPECT_LE(error, previous + 1e-12) << "side " << side;
      previous = error;
    }
    EXPECT_LT(previous, 1e-3) << (linear ? "linear" : "area");
  }
}

// The light reaches the sample with its channels cut to a half, a quarter and all.
int partlyShadowed(void*, HostItemId light, const double*, double*, double c[3]) {
  const auto id = reinterpret_cast<std::uintptr_t>(light);
  if (id == HOST_ILLUMINATE_RADIOSITY || id == HOST_ILLUMINATE_CAUSTICS) {
    c[0] = c[1] = c[2] = 0.0;
    return 0;
  }
  c[0] = 0.5, c[1] = 0.25, c[2] = 1.0;
  return 1;
}

TEST_F(EvaluateTest, TracedShadowBytesReplayToTheRenderedColour) {
  FakeEvalHost host;
  number("STRENGTH1", 1.0);
  const LightList list = listOf({distantLight({0.2, 1.0, 0.1})});
  std::vector<std::uint8_t> bytes(3 * kMaxLights, 0);
  Sample traced;
  traced.sa.rayTrace = tracedHit;
  traced.sa.illuminate = partlyShadowed;
  traced.sa.specular = 0.5;
  const Vec3 rendered = shadeStored(traced.sa, list, kRenderComponents, &bytes);
  EXPECT_EQ(bytes[0], 127);
  EXPECT_EQ(bytes[1], 63);
  EXPECT_EQ(bytes[2], 255);

  Sample stored;
  stored.sa.specular = 0.5;
  const Vec3 replayed = shadeStored(stored.sa, list, 0xFFFFE7FFu, &bytes);
  expectNear(replayed, rendered, rendered.x / 100.0);
  EXPECT_LT(rendered.y, rendered.x);  // the quarter channel is darker than the half one
}

// Rays toward negative x are blocked one unit out; all others reach the light.
double halfBlocked(void*, const double*, const double* dir) { return dir[0] < 0.0 ? 1.0 : -1.0; }

TEST_F(EvaluateTest, AreaLightShadowsAreSoftWhereHalfTheLightIsBlocked) {
  FakeEvalHost host;
  LightRecord light = areaLight({0, 3, 0}, 2.0, false);
  light.shadowType = 1;
  const LightList list = listOf({light});
  auto shade = [&](int renderOptions, std::vector<std::uint8_t>& bytes) {
    inst->runtime.renderOptions = renderOptions;
    Sample s;
    s.sa.rayTrace = tracedHit;
    s.sa.illuminate = fullIlluminate;
    s.sa.rayCast = halfBlocked;
    return shadeStored(s.sa, list, kRenderComponents, &bytes);
  };
  std::vector<std::uint8_t> open(3 * kMaxLights, 0), soft(3 * kMaxLights, 0);
  const Vec3 unshadowed = shade(0, open);
  EXPECT_EQ(open[0], 255);  // the scene traces no shadows
  const Vec3 shadowed = shade(HOST_ROPT_SHADOWTRACE, soft);
  EXPECT_NEAR(soft[0], 127, 40);
  EXPECT_EQ(soft[0], soft[2]);
  EXPECT_GT(shadowed.x, 0.3 * unshadowed.x);
  EXPECT_LT(shadowed.x, 0.7 * unshadowed.x);
}

TEST_F(EvaluateTest, NonlinearReflectionReplacesTheShadingOnlyWhereTracedRaysHit) {
  FakeEvalHost host;
  number("REFNONLINEAR", 1.0);
  number("REFCOLORSTR", 1.0);  // tinted by the (white) surface colour
  number("REFBG", 1.0);
  host.backdropColour[0] = host.backdropColour[1] = host.backdropColour[2] = 0.2;
  const LightList list = listOf({distantLight({0, 1, 0})});
  const float traced[3] = {1, 1, 1};
  auto shade = [&](std::uint32_t mask) {
    Sample s;
    s.sa.mirror = 0.5;
    s.sa.diffuse = 0.4;
    return shadeStored(s.sa, list, mask, nullptr, nullptr, traced, 1.0f);
  };
  const Vec3 base = shade(0xFFFFE7FFu & ~kComponentReflection);
  ASSERT_GT(base.x, 0.1);
  // Every ray hit: the surface's own shading gives way to the reflection entirely.
  EXPECT_NEAR(shade(0xFFFFE7FFu).x, 0.5, 1e-9);
  // A surface whose reflections the host does not trace: nothing counts as a hit, so
  // the shading stays and the backdrop is added in full.
  host.reflectionOptions = 0;
  EXPECT_NEAR(shade(0xFFFFE7FFu).x, base.x + 0.5 + 0.2 * 0.5, 1e-9);
}

TEST_F(EvaluateTest, ConcurrentThreadsShadeAlikeWithTheirOwnRecords) {
  FakeEvalHost host;
  number("STRENGTH1", 1.0);
  number("ROUGHDIFFUSE", 0.6);
  LightRecord area = areaLight({1, 3, 0}, 1.0, false);
  static LightList list;
  list = listOf({distantLight({0.3, 1.0, 0.2}), pointLight({-1, 2, 1}), area});
  setCurrentLightList(&list);
  auto shadeRow = [&](std::vector<double>& out) {
    for (int i = 0; i < 64; ++i) {
      Sample s;
      s.sa.sx = i, s.sa.sy = 3;
      s.sa.raySource[0] = 0.1 * i - 3.0;
      s.sa.sourceID = fakeItem(0x400);
      s.sa.specular = 0.5;
      s.sa.rayTrace = tracedHit;
      s.sa.illuminate = fullIlluminate;
      evaluate(inst, &s.sa);
      out.push_back(s.sa.replacement_color[0] + s.sa.replacement_color[1] + s.sa.replacement_color[2]);
    }
  };
  std::vector<double> alone;
  shadeRow(alone);
  std::vector<std::vector<double>> rows(4);
  std::vector<std::thread> threads;
  for (auto& row : rows) threads.emplace_back([&] { shadeRow(row); });
  for (auto& t : threads) t.join();
  for (const auto& row : rows) EXPECT_EQ(row, alone);
  setCurrentLightList(nullptr);
}

}  // namespace
}  // namespace orvik
