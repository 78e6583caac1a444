#include "host/render_frame.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "host/render_test_scenes.h"

namespace orvik::host {
namespace {

using namespace orvik::host::testing;

// Records the callbacks of one fake instance in a shared log.
struct Recorder {
  std::string name;
  std::vector<std::string>* log;
  const char* initError = nullptr;
};

HostRenderFuncs recordingFuncs() {
  HostRenderFuncs r{};
  r.init = [](HostInstance inst, int mode) -> HostError {
    auto* rec = static_cast<Recorder*>(inst);
    rec->log->push_back(rec->name + ".init" + std::to_string(mode));
    return rec->initError;
  };
  r.newTime = [](HostInstance inst, int frame, double) -> HostError {
    auto* rec = static_cast<Recorder*>(inst);
    rec->log->push_back(rec->name + ".newTime" + std::to_string(frame));
    return nullptr;
  };
  r.cleanup = [](HostInstance inst) {
    auto* rec = static_cast<Recorder*>(inst);
    rec->log->push_back(rec->name + ".cleanup");
  };
  return r;
}

// A pixel filter that counts its calls per pixel and marks its output red.
struct CountingFilter {
  Recorder recorder;
  int width = 0, height = 0;
  std::vector<std::atomic<int>> counts;
  std::atomic<int> outOfOrder{0};
  std::atomic<int> outside{0};
};

HostPixelFilterHandler countingHandler() {
  HostPixelFilterHandler h{};
  h.rend = recordingFuncs();
  h.evaluate = [](HostInstance inst, const HostFilterAccess* access) {
    auto* f = reinterpret_cast<CountingFilter*>(static_cast<Recorder*>(inst));
    const int x = static_cast<int>(access->sx), y = static_cast<int>(access->sy);
    if (x < 0 || y < 0 || x >= f->width || y >= f->height) {
      ++f->outside;
      return;
    }
    // The first pixel of a pass comes before every other pixel of it.
    const int mine = f->counts[static_cast<size_t>(y * f->width + x)].fetch_add(1) + 1;
    if ((x || y) && f->counts[0].load() < mine) ++f->outOfOrder;
    float rgba[4];
    access->getVal(access->filterData, HOST_BUF_RED, 4, rgba);
    rgba[0] = 1.0f;
    access->setRGBA(access->filterData, rgba);
  };
  return h;
}

Scene litScene(int width, int height, int passes) {
  Scene scene = floorScene(width, height);
  scene.render.aaMinSamples = scene.render.aaMaxSamples = passes;
  scene.ambientIntensity = 0.05;
  addPrimitive(scene, "Ball", PrimitiveKind::Sphere, {0, 0.5, 0}, matte({0.2, 0.6, 0.9}), {1, 1, 1}, 0.5);
  Light area;
  area.type = LightType::Area;
  area.quality = 2;
  area.motion.setKey(placeAt({1, 2, 0.5}, {0, 90, 0}));
  scene.addLight(area);
  scene.render.radiosity = true;
  return scene;
}

ImageBuffer renderOnce(Scene scene, int threads, uint32_t seed) {
  RenderSettings settings;
  settings.threads = threads;
  settings.seed = seed;
  settings.progress = false;
  Renderer renderer(scene, nullptr, settings);
  std::string error;
  ImageBuffer image;
  EXPECT_TRUE(renderer.renderFrame(1, image, error)) << error;
  renderer.end();
  return image;
}

TEST(RenderLoop, ThePixelFilterSeesEveryPixelOfEveryPassExactlyOnce) {
  Scene scene = litScene(13, 7, 3);
  std::vector<std::string> log;
  CountingFilter filter;
  filter.recorder = {"filter", &log};
  filter.width = 13;
  filter.height = 7;
  filter.counts = std::vector<std::atomic<int>>(13 * 7);
  HostPixelFilterHandler handler = countingHandler();
  RenderPlugins plugins;
  plugins.pixelFilter = &handler;
  plugins.pixelFilterInstance = &filter.recorder;
  RenderSettings settings;
  settings.threads = 2;
  settings.progress = false;
  Renderer renderer(scene, &plugins, settings);
  std::string error;
  ImageBuffer image;
  ASSERT_TRUE(renderer.renderFrame(1, image, error)) << error;
  renderer.end();
  for (const auto& c : filter.counts) EXPECT_EQ(c.load(), 3);
  EXPECT_EQ(filter.outOfOrder.load(), 0);
  EXPECT_EQ(filter.outside.load(), 0);
  // What the filter hands back is the image.
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) EXPECT_EQ(image.at(x, y)[0], 1.0f);
}

TEST(RenderLoop, CallbacksFollowTheHostsOrder) {
  Scene scene = litScene(4, 4, 1);
  std::vector<std::string> log;
  Recorder shaderA{"a", &log}, shaderB{"b", &log};
  CountingFilter filter;
  filter.recorder = {"filter", &log};
  filter.width = filter.height = 4;
  filter.counts = std::vector<std::atomic<int>>(16);
  HostShaderHandler shaderHandler{};
  shaderHandler.rend = recordingFuncs();
  HostPixelFilterHandler filterHandler = countingHandler();
  HostMasterHandler master{};
  master.event = [](HostInstance inst, const HostMasterAccess* access) -> double {
    auto* rec = static_cast<Recorder*>(inst);
    if (access->eventCode == HOST_EVENT_TIME)
      rec->log->push_back("master.time" + std::to_string(*static_cast<const double*>(access->eventData)));
    return 0.0;
  };
  Recorder masterRec{"master", &log};
  RenderPlugins plugins;
  // Shader a on both surfaces of the scene: its callbacks come once.
  plugins.surfaceShaders = {{{{&shaderHandler, &shaderA}}}, {{{&shaderHandler, &shaderA}, {&shaderHandler, &shaderB}}}};
  plugins.pixelFilter = &filterHandler;
  plugins.pixelFilterInstance = &filter.recorder;
  plugins.master = &master;
  plugins.masterInstance = &masterRec;
  plugins.onNewTime = [&](int frame, double) { log.push_back("services" + std::to_string(frame)); };
  scene.render.fps = 2.0;
  RenderSettings settings;
  settings.threads = 1;
  settings.progress = false;
  Renderer renderer(scene, &plugins, settings);
  std::string error;
  ASSERT_TRUE(renderer.begin(error)) << error;
  ImageBuffer image;
  ASSERT_TRUE(renderer.renderFrame(1, image, error)) << error;
  ASSERT_TRUE(renderer.renderFrame(2, image, error)) << error;
  renderer.end();
  renderer.end();  // a second end does nothing
  const std::vector<std::string> expected = {
      "a.init1", "b.init1", "filter.init1",
      "services1", "master.time0.500000", "a.newTime1", "b.newTime1", "filter.newTime1",
      "services2", "master.time1.000000", "a.newTime2", "b.newTime2", "filter.newTime2",
      "a.cleanup", "b.cleanup", "filter.cleanup"};
  EXPECT_EQ(log, expected);

  // An instance that refuses init stops the render; the ones already
  // started are cleaned up.
  log.clear();
  shaderB.initError = "no memory";
  Renderer refused(scene, &plugins, settings);
  EXPECT_FALSE(refused.begin(error));
  EXPECT_NE(error.find("no memory"), std::string::npos) << error;
  EXPECT_EQ(log, (std::vector<std::string>{"a.init1", "b.init1", "a.cleanup"}));
}

TEST(RenderLoop, SameSeedSameImageAndThreadCountDoesNotMatter) {
  const Scene scene = litScene(24, 16, 4);
  const ImageBuffer one = renderOnce(scene, 1, 7);
  const ImageBuffer again = renderOnce(scene, 1, 7);
  const ImageBuffer two = renderOnce(scene, 2, 7);
  const ImageBuffer three = renderOnce(scene, 3, 7);
  EXPECT_EQ(one.pixels, again.pixels);
  EXPECT_EQ(one.pixels, two.pixels);
  EXPECT_EQ(one.pixels, three.pixels);
  // The seed does reach the samples.
  EXPECT_NE(one.pixels, renderOnce(scene, 2, 8).pixels);
}

TEST(RenderLoop, TheImageShowsTheSceneInsideTheLimitedRegion) {
  Scene scene = litScene(20, 20, 1);
  scene.render.radiosity = false;
  scene.render.region = {true, 5, 6, 14, 15};
  const ImageBuffer image = renderOnce(scene, 2, 0);
  ASSERT_EQ(image.width, 20);
  ASSERT_EQ(image.height, 20);
  // The camera looks down at the ball in the middle: opaque and blue-ish.
  const float* centre = image.at(10, 10);
  EXPECT_EQ(centre[3], 1.0f);
  EXPECT_GT(centre[2], centre[0]);
  // Outside the region nothing is rendered.
  EXPECT_EQ(image.at(2, 2)[3], 0.0f);
  EXPECT_EQ(image.at(15, 10)[3], 0.0f);
  EXPECT_EQ(image.at(14, 15)[3], 1.0f);
}

}  // namespace
}  // namespace orvik::host
