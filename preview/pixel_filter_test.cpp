// The pixel filter: its life as the one active filter, the sampling factors
// it publishes per frame and pass, and the image processing of the host's
// output.
#include "preview/pixel_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "master/master_events.h"
#include "master/master_instance.h"
#include "master/master_panel.h"
#include "panels/button_control.h"
#include "panels/numeric_control.h"
#include "preview/sampling_factors.h"
#include "preview/testing_preview_host.h"
#include "shading/shade_sample.h"
#include "shading/shadow_transmission.h"

namespace orvik {
namespace {

using testing::TestPixel;
using testing::TestScene;

struct FilterFixture : ::testing::Test {
  PixelFilterInstance* filter = nullptr;
  MasterInstance* master = nullptr;
  void SetUp() override {
    const char* error = nullptr;
    filter = createPixelFilter(nullptr, nullptr, &error);
    ASSERT_NE(filter, nullptr) << error;
  }
  void TearDown() override {
    destroyPixelFilter(filter);
    if (master) destroyMaster(master);
  }
  void addMaster() {
    master = createMaster(nullptr);
    ASSERT_NE(master, nullptr);
  }
  // The filter's output for one pixel.
  std::array<float, 4> filtered(double sx, double sy, float r, float g, float b, float a = 1.0f) {
    TestPixel p(sx, sy, r, g, b, a);
    pixelFilterEvaluate(filter, &p.access);
    return {p.written[0], p.written[1], p.written[2], p.written[3]};
  }
};

TEST(PixelFilterLifecycle, OneActiveFilterAndTheRefusals) {
  const char* error = nullptr;
  EXPECT_EQ(createPixelFilter(nullptr, reinterpret_cast<void*>(std::uintptr_t{HOST_FILTER_CONTEXT_IMAGE}), &error),
            nullptr);
  EXPECT_STREQ(error, kImageContextError);
  EXPECT_EQ(activePixelFilter(), nullptr);

  PixelFilterInstance* first = createPixelFilter(nullptr, nullptr, &error);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->lastFrame, kFrameAfterCreate);
  EXPECT_EQ(first->passPhase.load(), 0.5);
  EXPECT_EQ(first->reflectionFactor.load(), 1.0);
  EXPECT_EQ(first->areaFactor.load(), 1.0);

  // A second one is refused, naming the last master event; the first stays.
  error = nullptr;
  EXPECT_EQ(createPixelFilter(nullptr, nullptr, &error), nullptr);
  ASSERT_NE(error, nullptr);
  const std::string message = error;
  EXPECT_EQ(message.rfind("No need to add Orvik pixel panels. If you're loading a scene, it's probably an internal "
                          "LW \"Master Event\" error, please inform Morvane: ", 0),
            0u);
  EXPECT_NE(message.find(lastEventText()), std::string::npos);
  EXPECT_EQ(activePixelFilter(), first);

  destroyPixelFilter(first);
  EXPECT_EQ(activePixelFilter(), nullptr);
  PixelFilterInstance* again = createPixelFilter(nullptr, nullptr, &error);
  EXPECT_NE(again, nullptr);
  destroyPixelFilter(again);
}

TEST(PixelFilterLifecycle, InitClearsTheSharedLightBlockAndMarksWindows) {
  testing::installTestWindows();
  testing::renderingMarks() = 0;
  testing::TestRenderMemory memory;
  TestScene scene(4, 4);
  const char* error = nullptr;
  PixelFilterInstance* f = createPixelFilter(nullptr, nullptr, &error);
  ASSERT_NE(f, nullptr);
  pixelFilterInit(f, testing::testFilterHost(scene, &memory));
  EXPECT_EQ(f->lastFrame, kFrameAfterInit);
  EXPECT_EQ(testing::renderingMarks(), 1);
  auto& block = testing::TestRenderMemory::blocks()[kFilterSharedBlockName];
  ASSERT_EQ(block.size(), kSharedLightBlockBytes);
  std::uint32_t first = 1;
  std::memcpy(&first, block.data(), 4);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(f->sharedLightBlock, block.data());
  // The shadow code reads that block from the filter's new time on, and
  // lets go of it at cleanup.
  pixelFilterNewTime(f, 1, 0.0, testing::testFilterHost(scene, &memory));
  EXPECT_EQ(sharedLightBlock().data, block.data());
  EXPECT_EQ(sharedLightBlock().size, kSharedLightBlockBytes);
  pixelFilterCleanup(f);
  EXPECT_EQ(sharedLightBlock().data, nullptr);
  EXPECT_EQ(testing::renderingMarks(), 0);
  EXPECT_EQ(f->lastFrame, kFrameAfterInit);
  destroyPixelFilter(f);
  setPreviewWindowHooks({});
}

TEST(SamplingFactors, NeutralWithoutAFilter) {
  ASSERT_EQ(activePixelFilter(), nullptr);
  const SamplingFactors s = samplingFactors();
  EXPECT_FALSE(s.present);
  EXPECT_EQ(s.areaFactor, 0.57735);
  EXPECT_EQ(s.reflectionFactor, 1.0);
  EXPECT_EQ(s.jitter, 0.5);
  // The shading sees no filter either, also after one has come and gone.
  const char* error = nullptr;
  destroyPixelFilter(createPixelFilter(nullptr, nullptr, &error));
  EXPECT_FALSE(pixelFilterSampling().present);
  EXPECT_EQ(pixelFilterSampling().areaFactor, 0.57735);
}

TEST_F(FilterFixture, FrameFactorsFollowTheSamplesPerPixel) {
  TestScene scene(8, 8, 7, 7);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  EXPECT_DOUBLE_EQ(filter->areaFactor.load(), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(filter->reflectionFactor.load(), 1.0 / 3.0);  // no master
  EXPECT_DOUBLE_EQ(filter->passPhase.load(), 0.5 / 7.0);

  // With a master the reflection quality shapes the reflection factor.
  addMaster();
  SetNumberValue(master->reflectionQ, 0.4);
  pixelFilterNewTime(filter, 2, 0.0, testing::testFilterHost(scene));
  EXPECT_DOUBLE_EQ(filter->reflectionFactor.load(), (0.5 * 0.5 + 0.1) / 3.0);
  EXPECT_DOUBLE_EQ(filter->areaFactor.load(), 1.0 / 3.0);

  // The shading reads the same values.
  const PixelFilterSampling seen = pixelFilterSampling();
  EXPECT_TRUE(seen.present);
  EXPECT_DOUBLE_EQ(seen.reflectionFactor, filter->reflectionFactor.load());
  EXPECT_DOUBLE_EQ(seen.areaFactor, 1.0 / 3.0);
}

TEST_F(FilterFixture, PassesAreCountedAtTheFirstPixelOnly) {
  TestScene scene(4, 2, 4, 4);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  for (int pass = 1; pass <= 5; ++pass) {
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) filtered(x + 0.5, y + 0.5, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(filter->passCount.load(), pass);
    const double expected = std::fmod((pass + 0.5) / 4.0, 1.0);
    EXPECT_DOUBLE_EQ(filter->passPhase.load(), expected) << "pass " << pass;
    EXPECT_EQ(samplingFactors().passCount, std::uint32_t(pass));
  }
  // The same frame again keeps counting; a new frame starts over.
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  EXPECT_EQ(filter->passCount.load(), 5);
  pixelFilterNewTime(filter, 2, 0.0, testing::testFilterHost(scene));
  EXPECT_EQ(filter->passCount.load(), 0);

  // A limited region starts its passes at its own first pixel.
  scene.info.limitedRegion[0] = 2, scene.info.limitedRegion[1] = 1;
  pixelFilterNewTime(filter, 3, 0.0, testing::testFilterHost(scene));
  filtered(2.5, 1.5, 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(filter->passCount.load(), 1);
}

TEST_F(FilterFixture, WithoutAMasterOnlyNegativeChannelsChange) {
  TestScene scene(4, 4);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  const auto out = filtered(1.5, 1.5, -0.3f, 2.5f, 0.4f, 0.25f);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 2.5f);
  EXPECT_EQ(out[2], 0.4f);
  EXPECT_EQ(out[3], 0.25f);
}

TEST_F(FilterFixture, TheMastersDefaultsPassAPixelUnchanged) {
  addMaster();
  TestScene scene(4, 4);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  const float in[3] = {0.2f, 0.5f, 0.9f};
  const auto out = filtered(2.5, 3.5, in[0], in[1], in[2], 0.75f);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(out[c], in[c], 1e-6 * in[c] + 1e-7) << c;
  EXPECT_EQ(out[3], 0.75f);
}

TEST_F(FilterFixture, RolloffKeepsBrightPixelsBelowOne) {
  addMaster();
  master->doClip->state = kCheckOn;
  SetNumberValue(master->clipX0, 0.7);
  TestScene scene(4, 4);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  const auto bright = filtered(0.5, 0.5, 3.0f, 1.2f, 0.5f);
  EXPECT_LT(bright[0], 1.0f);
  EXPECT_GT(bright[0], 0.7f);
  EXPECT_LT(bright[1], bright[0]);
  const auto dim = filtered(1.5, 0.5, 0.5f, 0.6f, 0.3f);
  EXPECT_NEAR(dim[0], 0.5f, 1e-6);
  EXPECT_NEAR(dim[1], 0.6f, 1e-6);
  EXPECT_NEAR(dim[2], 0.3f, 1e-6);
}

TEST_F(FilterFixture, GrainVariesOverPixelsAndFramesAndFollowsTheRelativeScale) {
  addMaster();
  master->grain->state = kCheckOn;
  TestScene scene(640, 480);
  pixelFilterNewTime(filter, 1, 0.0, testing::testFilterHost(scene));
  int changed = 0;
  for (int x = 0; x < 40; ++x) {
    const auto out = filtered(x * 3.7 + 0.5, 10.5, 0.5f, 0.5f, 0.5f);
    if (std::fabs(out[0] - 0.5f) > 1e-5f) ++changed;
  }
  EXPECT_GT(changed, 30);

  // Animated grain differs between frames.
  const auto frame1 = filtered(100.5, 100.5, 0.5f, 0.5f, 0.5f);
  pixelFilterNewTime(filter, 2, 0.0, testing::testFilterHost(scene));
  const auto frame2 = filtered(100.5, 100.5, 0.5f, 0.5f, 0.5f);
  EXPECT_NE(frame1[0], frame2[0]);

  // Relative scale: a pixel of a frame twice as wide gets the grain of the
  // pixel at half its position in a 640-pixel frame.
  master->grainRelative->state = kCheckOn;
  pixelFilterNewTime(filter, 3, 0.0, testing::testFilterHost(scene));
  const auto narrow = filtered(50.25, 30.25, 0.4f, 0.5f, 0.6f);
  TestScene wide(1280, 960);
  pixelFilterNewTime(filter, 4, 0.0, testing::testFilterHost(wide));
  filter->lastFrame = 3;  // same grain frame
  const auto twice = filtered(100.5, 60.5, 0.4f, 0.5f, 0.6f);
  for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(narrow[c], twice[c]) << c;

  // Every amplitude at zero: no grain.
  for (NumericControl* n : {master->rConst, master->rProp, master->gConst, master->gProp, master->bConst,
                            master->bProp, master->wConst, master->wProp})
    SetNumberValue(n, 0.0);
  const auto plain = filtered(7.5, 9.5, 0.4f, 0.5f, 0.6f);
  EXPECT_NEAR(plain[0], 0.4f, 1e-6);
  EXPECT_NEAR(plain[1], 0.5f, 1e-6);
  EXPECT_NEAR(plain[2], 0.6f, 1e-6);
}

}  // namespace
}  // namespace orvik
