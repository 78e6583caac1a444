// How the host hands samples to the module's shaders: the access record,
// the order of the shaders, the two ways a shader answers, and the ray
// functions that re-enter the shaders.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "host/raytrace.h"
#include "host/render_test_scenes.h"

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

struct FakeShader {
  std::function<void(HostShaderAccess*)> evaluate;
};

HostShaderHandler fakeHandler() {
  HostShaderHandler h{};
  h.evaluate = [](HostInstance inst, HostShaderAccess* sa) { static_cast<FakeShader*>(inst)->evaluate(sa); };
  return h;
}

Vec3 v3(const double a[3]) { return {a[0], a[1], a[2]}; }

class ShaderCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    scene = floorScene();
    scene.objects[0].motion.keys.clear();
    scene.objects[0].motion.setKey(placeAt({0, -0.5, 0}));
    handler = fakeHandler();
  }
  void attach(size_t object, FakeShader* shader) {
    plugins.surfaceShaders.resize(scene.objects.size());
    plugins.surfaceShaders[object].resize(scene.objects[object].surfaces.size());
    plugins.surfaceShaders[object][0].push_back({&handler, shader});
  }
  Scene scene;
  HostShaderHandler handler;
  RenderPlugins plugins;
};

TEST_F(ShaderCalls, TheAccessRecordDescribesTheSample) {
  HostShaderAccess seen{};
  int calls = 0;
  FakeShader shader{[&](HostShaderAccess* sa) {
    seen = *sa;
    ++calls;
  }};
  attach(0, &shader);
  const ItemId camera = scene.renderCamera();
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, &plugins, camera);
  Raytracer::Thread th = tracer.makeThread();
  th.sx = 3;
  th.sy = 4;
  const Vec3 origin{0.25, 2.5, 0.5};
  tracer.tracePrimary(th, origin, {0, -1, 0});
  ASSERT_EQ(calls, 1);
  EXPECT_EQ(seen.sx, 3);
  EXPECT_EQ(seen.sy, 4);
  EXPECT_EQ(v3(seen.raySource), origin);
  EXPECT_NEAR(seen.wPos[1], -0.5, 1e-6);
  EXPECT_NEAR(seen.oPos[1], 0.0, 1e-6);  // the object sits half a unit down
  EXPECT_NEAR(seen.oPos[0], 0.25, 1e-6);
  EXPECT_NEAR(seen.rayLength, 3.0, 1e-5);
  EXPECT_EQ(fromHostId(seen.objID), scene.first(ItemType::Object));
  EXPECT_EQ(fromHostId(seen.sourceID), camera);
  EXPECT_EQ(seen.bounces, 0);
  EXPECT_NEAR(seen.gNorm[1], 1.0, 1e-9);
  EXPECT_NEAR(seen.wNorm0[1], 1.0, 1e-6);
  EXPECT_NEAR(seen.cosine, 1.0, 1e-6);
  EXPECT_NEAR(seen.color[0], 0.8, 1e-12);
  EXPECT_EQ(seen.diffuse, 1.0);
  EXPECT_NE(seen.rayData, nullptr);
  EXPECT_NE(seen.illuminate, nullptr);
  EXPECT_NE(seen.rayTrace, nullptr);
  EXPECT_NE(seen.rayCast, nullptr);
  EXPECT_NE(seen.rayShade, nullptr);
  // The world transform maps object to world: here a pure translation.
  EXPECT_EQ(seen.wXfrm[0], 1.0);
  EXPECT_EQ(seen.wXfrm[4], 1.0);

  // Newell's normal of the corners agrees with gNorm from the front ...
  auto newell = [](const HostShaderAccess& sa) {
    Vec3 n;
    for (int i = 0; i < 4; ++i) {
      const float* a = sa.vertsWPos[i];
      const float* b = sa.vertsWPos[(i + 1) % 4];
      n += Vec3{(a[1] - b[1]) * (a[2] + b[2]), (a[2] - b[2]) * (a[0] + b[0]), (a[0] - b[0]) * (a[1] + b[1])};
    }
    return n;
  };
  EXPECT_GT(dot(newell(seen), v3(seen.gNorm)), 0.0);
  // ... and disagrees from behind, where gNorm turns to face the ray.
  tracer.tracePrimary(th, {0.25, -2, 0.5}, {0, 1, 0});
  EXPECT_NEAR(seen.gNorm[1], -1.0, 1e-9);
  EXPECT_NEAR(seen.wNorm[1], -1.0, 1e-6);
  EXPECT_LT(dot(newell(seen), v3(seen.gNorm)), 0.0);
}

TEST_F(ShaderCalls, ShadersRunInListedOrderAndAnswerByHostVersion) {
  std::vector<int> order;
  FakeShader first{[&](HostShaderAccess* sa) {
    order.push_back(1);
    sa->color[0] = 0.0;
    sa->color[1] = 1.0;
    sa->color[2] = 0.0;
  }};
  FakeShader second{[&](HostShaderAccess* sa) {
    order.push_back(2);
    EXPECT_EQ(sa->color[1], 1.0) << "the second shader sees what the first wrote";
    sa->luminous = 1.0;
    sa->diffuse = 0.0;
    sa->replacement_percentage = 1.0;
    sa->replacement_color[0] = 0.25;
    sa->replacement_color[1] = 0.5;
    sa->replacement_color[2] = 0.75;
  }};
  attach(0, &first);
  attach(0, &second);
  RaytraceScene world(scene, 0.0);

  plugins.hostVersion = 7;
  {
    Raytracer tracer(world, &plugins, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    const Color c = tracer.tracePrimary(th, {0, 2, 0}, {0, -1, 0}).color;
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(c, (Color{0.25, 0.5, 0.75}));
  }
  // Version 6 ignores the replacement and shades the channels the shaders
  // left: luminous green.
  plugins.hostVersion = 6;
  {
    Raytracer tracer(world, &plugins, kNoItem);
    Raytracer::Thread th = tracer.makeThread();
    const Color c = tracer.tracePrimary(th, {0, 2, 0}, {0, -1, 0}).color;
    EXPECT_NEAR(c.x, 0.0, 1e-12);
    EXPECT_NEAR(c.y, 1.0, 1e-12);
  }
  // A partial replacement blends with the host's shading.
  plugins.hostVersion = 7;
  second.evaluate = [](HostShaderAccess* sa) {
    sa->luminous = 1.0;
    sa->diffuse = 0.0;
    sa->replacement_percentage = 0.5;
    sa->replacement_color[0] = 1.0;
  };
  Raytracer tracer(world, &plugins, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  const Color c = tracer.tracePrimary(th, {0, 2, 0}, {0, -1, 0}).color;
  EXPECT_NEAR(c.x, 0.5, 1e-12);
  EXPECT_NEAR(c.y, 0.5, 1e-12);
}

TEST_F(ShaderCalls, RayFunctionsReenterTheShadersOnTheSameThread) {
  Surface red = matte({1, 0, 0});
  addPrimitive(scene, "Ball", PrimitiveKind::Sphere, {0, 1, 0}, red, {1, 1, 1}, 0.5);
  struct Call {
    std::thread::id thread;
    int bounces;
    ItemId object;
  };
  std::vector<Call> calls;
  double traced = 0, cast = 0, shadedDistance = 0;
  Color tracedColor;
  HostShaderAccess shaded{};
  FakeShader floorShader{[&](HostShaderAccess* sa) {
    calls.push_back({std::this_thread::get_id(), sa->bounces, fromHostId(sa->objID)});
    const double up[3] = {0, 1, 0};
    double color[3];
    traced = sa->rayTrace(sa->rayData, sa->wPos, up, color);
    tracedColor = v3(color);
    cast = sa->rayCast(sa->rayData, sa->wPos, up);
    shadedDistance = sa->rayShade(sa->rayData, sa->wPos, up, &shaded);
  }};
  FakeShader ballShader{[&](HostShaderAccess* sa) {
    calls.push_back({std::this_thread::get_id(), sa->bounces, fromHostId(sa->objID)});
    sa->replacement_percentage = 1.0;
    sa->replacement_color[1] = 0.5;
  }};
  attach(0, &floorShader);
  attach(1, &ballShader);
  RaytraceScene world(scene, 0.0);
  Raytracer tracer(world, &plugins, kNoItem);
  Raytracer::Thread th = tracer.makeThread();
  std::thread([&] { tracer.tracePrimary(th, {0, -0.2, 0.1}, {0, -1, 0}); }).join();
  // Floor, ball by rayTrace, ball by rayShade.
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].thread, calls[0].thread);
  EXPECT_EQ(calls[0].bounces, 0);
  EXPECT_EQ(calls[1].bounces, 1);
  EXPECT_EQ(calls[1].object, scene.nth(ItemType::Object, 1));
  EXPECT_NEAR(traced, 1.0, 0.03);  // floor at -0.5, faceted ball bottom near 0.5
  EXPECT_EQ(tracedColor, (Color{0, 0.5, 0}));
  EXPECT_NEAR(cast, traced, 1e-6);
  EXPECT_NEAR(shadedDistance, traced, 1e-9);
  EXPECT_EQ(fromHostId(shaded.objID), scene.nth(ItemType::Object, 1));
  EXPECT_EQ(shaded.color[0], 1.0);
  // A ray into empty space: negative distance, the backdrop colour.
  const double down[3] = {0, -1, 0}, from[3] = {0, -1, 0};
  double color[3] = {9, 9, 9};
  HostShaderAccess sa{};
  Raytracer::rayFunctions(sa.illuminate, sa.rayTrace, sa.rayCast, sa.rayShade);
  EXPECT_LT(sa.rayTrace(&th, from, down, color), 0.0);
  EXPECT_EQ(color[0], scene.backdrop.color.x);
  EXPECT_LT(sa.rayCast(&th, from, down), 0.0);
  HostShaderAccess untouched{};
  untouched.sx = 77;
  EXPECT_LT(sa.rayShade(&th, from, down, &untouched), 0.0);
  EXPECT_EQ(untouched.sx, 77);
  // Bad arguments are refused, not followed.
  EXPECT_LT(sa.rayTrace(nullptr, from, down, color), 0.0);
  EXPECT_EQ(sa.illuminate(&th, toHostId(12345), from, color, color), 0);
}

}  // namespace
}  // namespace orvik::host
