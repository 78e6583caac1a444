// Capture of a render into the preview store its window wants: each cell
// keeps the inputs of its sample and the host's final colour, once.
#include "preview/capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <thread>

#include "master/master_instance.h"
#include "preview/pixel_filter.h"
#include "preview/testing_preview_host.h"
#include "shading/shade_sample.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

using testing::TestPixel;
using testing::TestScene;

constexpr int kWidth = 9, kHeight = 5, kLights = 2, kFrame = 3;

HostItemId objectAt(int x, int y) { return reinterpret_cast<HostItemId>(std::uintptr_t(0x5000 + y * 100 + x)); }

void twoLights(LightList& list, double) {
  list = LightList{};
  list.lightCount = list.captureCount = kLights;
  for (int i = 0; i < kLights; ++i) list.records[i].id = reinterpret_cast<HostItemId>(std::uintptr_t(0x900 + i));
}

// The shading sample of pixel (x, y); `pass` changes every value.
HostShaderAccess sampleAt(int x, int y, int pass) {
  HostShaderAccess sa{};
  sa.sx = x;
  sa.sy = y;
  const double k = x + 10.0 * y + 1000.0 * pass;
  for (int c = 0; c < 3; ++c) {
    sa.wPos[c] = k + c;
    sa.color[c] = 0.01 * (c + 1) + pass;
    sa.wNorm[c] = c == 1 ? 1.0 : 0.0;
    sa.wNorm0[c] = c == 2 ? 1.0 : 0.0;
  }
  sa.diffuse = 0.25 + pass, sa.specular = 0.5, sa.roughness = 0.125, sa.luminous = 0.0625;
  sa.mirror = 0.375, sa.transparency = 0.75, sa.addTransparency = 0.5, sa.difSharpness = 0.25;
  sa.colorFL = 0.5, sa.translucency = 0.875;
  sa.objID = objectAt(x, y);
  return sa;
}

struct CaptureFixture : ::testing::Test {
  MasterInstance* master = nullptr;
  PixelFilterInstance* filter = nullptr;
  SurfaceInstance surface;
  TestScene scene{kWidth, kHeight};
  FilterHost host;

  void SetUp() override {
    master = createMaster(nullptr);
    ASSERT_NE(master, nullptr);
    const char* error = nullptr;
    filter = createPixelFilter(nullptr, nullptr, &error);
    ASSERT_NE(filter, nullptr);
    testing::installTestWindows();
    testing::testWindows() = {{testing::testCamera(), double(kFrame), false}};
    testing::shownWarnings().clear();
    host = testing::testFilterHost(scene);
    host.buildLights = twoLights;
    surface.runtime.renderMode = kRenderModeFull;
    surface.runtime.surfaceId = std::uintptr_t{0xABC0};
  }
  void TearDown() override {
    freeAllStores();
    destroyPixelFilter(filter);
    destroyMaster(master);
    testing::testWindows().clear();
    setPreviewWindowHooks({});
  }

  // One pass as the render does it: every sample through the evaluation's
  // hooks, then the pixel filter over every pixel; rows from firstRow on,
  // every rowStep-th.
  void renderPass(int pass, int firstRow = 0, int rowStep = 1) {
    const EvaluateHooks& hooks = evaluateHooks();
    ASSERT_TRUE(hooks.captureWanted && hooks.captureSample);
    for (int y = firstRow; y < kHeight; y += rowStep)
      for (int x = 0; x < kWidth; ++x) {
        HostShaderAccess sa = sampleAt(x, y, pass);
        if (!hooks.captureWanted(&surface, &sa)) continue;
        const std::uint8_t shadows[3 * kLights] = {std::uint8_t(x), std::uint8_t(y), std::uint8_t(pass), 255, 128, 0};
        const float radiosity[3] = {0.5f, float(x), float(pass)};
        const double colour[3] = {0, 0, 0};
        SampleInputs in;
        in.shadowBytes = shadows;
        in.radiosityCache = radiosity;
        in.colour = colour;
        hooks.captureSample(&surface, &sa, currentLightList(), in);
      }
    for (int y = firstRow; y < kHeight; y += rowStep)
      for (int x = 0; x < kWidth; ++x) {
        TestPixel p(x + 0.5, y + 0.5, 0.01f * x + pass, 0.01f * y, 0.5f);
        pixelFilterEvaluate(filter, &p.access);
      }
  }
};

TEST_F(CaptureFixture, EachCellHoldsTheInputsOfItsSampleAndTheFinalColour) {
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  PreviewStore* store = filter->currentStore.load();
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store, findStore(testing::testCamera(), kFrame));
  EXPECT_EQ(currentLightList(), store->lights.get());
  EXPECT_EQ(store->channels->lightCount, kLights);
  EXPECT_EQ(store->channels->lightIds[1], reinterpret_cast<HostItemId>(std::uintptr_t{0x901}));
  renderPass(0);

  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      SCOPED_TRACE(::testing::Message() << "cell " << x << "," << y);
      StoredPixel p;
      ASSERT_TRUE(store->storedPixel(x, y, p));
      const HostShaderAccess sa = sampleAt(x, y, 0);
      EXPECT_EQ(p.surfaceId, 0xABC0u);
      EXPECT_EQ(p.objectId, sa.objID);
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(p.position[c], sa.wPos[c]);
        EXPECT_EQ(p.colour[c], sa.color[c]);
        EXPECT_EQ(p.normal[c], sa.wNorm[c]);
        EXPECT_EQ(p.normalBeforeBump[c], sa.wNorm0[c]);
      }
      EXPECT_EQ(p.diffuse, 0.25f);
      EXPECT_EQ(p.specular, 0.5f);
      EXPECT_EQ(p.roughness, 0.125f);
      EXPECT_EQ(p.luminous, 0.0625f);
      EXPECT_EQ(p.mirror, 0.375f);
      EXPECT_EQ(p.transparency, 0.75f);
      EXPECT_EQ(p.addTransparency, 0.5f);
      EXPECT_EQ(p.diffuseSharpness, 0.25f);
      EXPECT_EQ(p.fillLight, 0.5f);
      EXPECT_EQ(p.translucency, 0.875f);
      ASSERT_EQ(p.lightCount, kLights);
      const std::uint8_t shadows[3 * kLights] = {std::uint8_t(x), std::uint8_t(y), 0, 255, 128, 0};
      EXPECT_EQ(std::memcmp(p.shadowBytes, shadows, sizeof shadows), 0);
      EXPECT_EQ(p.radiosityCache[1], float(x));
      EXPECT_EQ(p.lightTranslucencyAt(0), kNotComputedLightValue);
      float rgb[3];
      ASSERT_TRUE(store->cellColour(x, y, rgb));
      EXPECT_EQ(rgb[0], 0.01f * x);
      EXPECT_EQ(rgb[1], 0.01f * y);
    }
}

TEST_F(CaptureFixture, ACellIsCapturedOnceAndLaterPassesLeaveIt) {
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  PreviewStore* store = filter->currentStore.load();
  ASSERT_NE(store, nullptr);
  renderPass(0);
  renderPass(1);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      StoredPixel p;
      ASSERT_TRUE(store->storedPixel(x, y, p));
      EXPECT_EQ(p.diffuse, 0.25f);
      EXPECT_EQ(p.shadowBytes[2], 0);
      float rgb[3];
      store->cellColour(x, y, rgb);
      EXPECT_EQ(rgb[0], 0.01f * x);
    }
  HostShaderAccess sa = sampleAt(1, 1, 2);
  EXPECT_FALSE(captureWanted(&surface, &sa));

  // Bounced rays, samples without an object and preview renders are never captured.
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  sa = sampleAt(1, 1, 0);
  EXPECT_TRUE(captureWanted(&surface, &sa));
  sa.bounces = 1;
  EXPECT_FALSE(captureWanted(&surface, &sa));
  sa = sampleAt(1, 1, 0);
  sa.objID = reinterpret_cast<HostItemId>(std::uintptr_t{HOST_NO_OBJECT_ID});
  EXPECT_FALSE(captureWanted(&surface, &sa));
  sa = sampleAt(1, 1, 0);
  surface.runtime.renderMode = kRenderModePreview;
  EXPECT_FALSE(captureWanted(&surface, &sa));
}

TEST_F(CaptureFixture, RenderThreadsCaptureDisjointCellsTogether) {
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  PreviewStore* store = filter->currentStore.load();
  ASSERT_NE(store, nullptr);
  for (int pass = 0; pass < 2; ++pass) {
    std::thread other([&] { renderPass(pass, 1, 2); });
    renderPass(pass, 0, 2);
    other.join();
  }
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      StoredPixel p;
      if (!store->storedPixel(x, y, p) || p.position[0] != sampleAt(x, y, 0).wPos[0]) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
}

TEST_F(CaptureFixture, NothingIsCapturedWithoutAWindowOnARenderNodeOrAfterAWarning) {
  // No window wants the frame: no store, and a stale one is freed.
  createStore(testing::testCamera(), kFrame + 1);
  pixelFilterNewTime(filter, kFrame + 1, 0.0, host);
  EXPECT_EQ(filter->currentStore.load(), nullptr);
  EXPECT_EQ(findStore(testing::testCamera(), kFrame + 1), nullptr);

  FilterHost node = host;
  node.renderNode = true;
  pixelFilterNewTime(filter, kFrame, 0.0, node);
  EXPECT_EQ(filter->currentStore.load(), nullptr);

  // Field rendering warns once; capture stays off for the filter's life.
  scene.info.renderOpts |= HOST_ROPT_FIELDS;
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  EXPECT_EQ(filter->currentStore.load(), nullptr);
  ASSERT_EQ(testing::shownWarnings().size(), 1u);
  EXPECT_EQ(testing::shownWarnings()[0], std::string(kFieldWarning1) + "|" + kFieldWarning2);
  scene.info.renderOpts = 0;
  pixelFilterNewTime(filter, kFrame, 1.0, host);
  EXPECT_EQ(filter->currentStore.load(), nullptr);
  EXPECT_EQ(testing::shownWarnings().size(), 1u);
}

TEST_F(CaptureFixture, AdaptiveSamplingWarnsOnce) {
  scene.info.minSamplesPerPixel = 2;
  scene.info.maxSamplesPerPixel = 8;
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  pixelFilterNewTime(filter, kFrame + 1, 0.0, host);
  ASSERT_EQ(testing::shownWarnings().size(), 1u);
  EXPECT_EQ(testing::shownWarnings()[0], std::string(kAdaptiveWarning1) + "|" + kAdaptiveWarning2);
  EXPECT_EQ(filter->currentStore.load(), nullptr);
}

TEST_F(CaptureFixture, WindowsFollowingTheRenderTakeItsFrame) {
  testing::testWindows() = {{nullptr, 0.0, true}};
  pixelFilterNewTime(filter, 12, 0.0, host);
  EXPECT_EQ(testing::testWindows()[0].frame, 12.0);
  EXPECT_EQ(testing::testWindows()[0].camera, testing::testCamera());
  EXPECT_NE(filter->currentStore.load(), nullptr);
}

TEST_F(CaptureFixture, MemoryPerStoredPixel) {
  pixelFilterNewTime(filter, kFrame, 0.0, host);
  const PreviewStore* store = filter->currentStore.load();
  ASSERT_NE(store, nullptr);
  const RecordBuffer& b = *store->channels->buffer;
  // 112 bytes of 8-aligned values, 100 of floats and colours with the two
  // lights' translucency values, 6 shadow bytes; rounded to 8.
  EXPECT_EQ(b.recordSize(), 224u);
  const double tilePixels = double(b.tileWidth()) * b.tileHeight();
  const double perPixel = double(b.tileBytes()) / tilePixels + double(kColourCellBytes);
  std::printf("[ memory ] %.1f bytes per stored pixel with %d lights (record %zu, colour %zu)\n", perPixel, kLights,
              b.recordSize(), kColourCellBytes);
  EXPECT_LT(perPixel, 256.0);
}

}  // namespace
}  // namespace orvik
