// The surface evaluation captures through the filter's entries: a full
// render's camera sample on a free cell leaves the host's inputs (not the
// shaded outputs) in the cell, with one shadow triple per light.
#include <gtest/gtest.h>

#include <cstring>

#include "master/master_instance.h"
#include "module/thread_slots.h"
#include "preview/capture.h"
#include "preview/pixel_filter.h"
#include "preview/testing_preview_host.h"
#include "shading/eval_fake_host.h"
#include "shading/evaluate.h"
#include "shading/surface_instance.h"

namespace orvik {
namespace {

constexpr int kFrame = 5;

// A reflection ray that finds a surface of one colour.
double tracedColour(void*, const double*, const double*, double c[3]) {
  c[0] = 0.125, c[1] = 0.25, c[2] = 0.5;
  return 3.0;
}

TEST(CaptureThroughEvaluation, ACameraSampleLeavesItsInputsInTheCell) {
  evaltest::FakeEvalHost host;
  evaltest::FakeLight light;
  light.position[1] = 4.0;
  host.lights = {light, light};
  MasterInstance* master = createMaster(nullptr);
  ASSERT_NE(master, nullptr);
  const char* error = nullptr;
  PixelFilterInstance* filter = createPixelFilter(nullptr, nullptr, &error);
  ASSERT_NE(filter, nullptr);
  testing::installTestWindows();
  testing::testWindows() = {{testing::testCamera(), double(kFrame), false}};

  resetThreadRecords();
  SurfaceInstance* inst = buildSurfaceInstance();
  ASSERT_NE(inst, nullptr);
  inst->runtime.aliveMark = kSurfaceAliveMark;
  inst->runtime.surfaceId = 0x300;
  prepareSurfaceInstance(inst);
  inst->runtime.renderMode = kRenderModeFull;
  inst->runtime.renderOptions = kRenderOptionRayTraceReflection;

  testing::TestScene scene(4, 3);
  FilterHost fh = testing::testFilterHost(scene);
  fh.buildLights = [](LightList& list, double time) { buildLightList(list, time); };
  pixelFilterNewTime(filter, kFrame, 0.0, fh);
  PreviewStore* store = filter->currentStore.load();
  ASSERT_NE(store, nullptr);
  ASSERT_EQ(store->lights->captureCount, 2);

  // A camera sample of pixel (2, 1) on a floor facing up.
  HostShaderAccess sa{};
  sa.sx = 2, sa.sy = 1;
  sa.raySource[1] = 5.0;
  sa.rayLength = 5.0;
  sa.gNorm[1] = sa.wNorm[1] = sa.wNorm0[1] = 1.0;
  sa.wPos[0] = 0.25, sa.wPos[2] = 0.5;
  sa.color[0] = 0.8, sa.color[1] = 0.4, sa.color[2] = 0.2;
  sa.diffuse = 0.75;
  sa.specular = 0.5;
  sa.mirror = 0.25;
  sa.rayTrace = tracedColour;
  sa.roughness = 0.125;
  sa.difSharpness = 1.0;
  sa.eta = 1.0;
  sa.objID = reinterpret_cast<HostItemId>(std::uintptr_t{0x200});
  sa.sourceID = testing::testCamera();  // a camera ray
  const float quad[4][3] = {{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
  std::memcpy(sa.vertsWPos, quad, sizeof quad);
  for (int i = 0; i < 9; i += 4) sa.wXfrm[i] = 1.0;
  evaluate(inst, &sa);

  StoredPixel p;
  ASSERT_TRUE(store->storedPixel(2, 1, p));
  EXPECT_EQ(p.surfaceId, 0x300u);
  EXPECT_EQ(p.objectId, sa.objID);
  EXPECT_EQ(p.colour[0], 0.8);
  EXPECT_EQ(p.colour[2], 0.2);
  EXPECT_EQ(p.diffuse, 0.75f);
  EXPECT_EQ(p.specular, 0.5f);
  EXPECT_EQ(p.roughness, 0.125f);
  EXPECT_EQ(p.position[0], 0.25);
  EXPECT_EQ(p.normal[1], 1.0);
  EXPECT_EQ(p.mirror, 0.25f);
  EXPECT_EQ(p.lightCount, 2);
  // The evaluation's own inputs: the traced reflection and what was not traced.
  EXPECT_FLOAT_EQ(p.reflectionColour[0], 0.125f);
  EXPECT_FLOAT_EQ(p.reflectionColour[2], 0.5f);
  EXPECT_EQ(p.reflectionHitFraction, 1.0f);
  EXPECT_EQ(p.refractionColour[1], 0.0f);
  EXPECT_EQ(p.thickness, -99.0f);
  EXPECT_EQ(p.lightTranslucencyAt(1), kNotComputedLightValue);
  EXPECT_EQ(p.samplingWeight, 1.0f);
  EXPECT_FALSE(store->storedPixel(1, 1, p));

  // Once the filter has written the cell's colour, the cell is closed.
  testing::TestPixel pixel(2.5, 1.5, 0.3f, 0.3f, 0.3f);
  pixelFilterEvaluate(filter, &pixel.access);
  EXPECT_TRUE(store->cellRendered(2, 1));
  EXPECT_FALSE(captureWanted(inst, &sa));

  freeSurfaceInstance(inst);
  freeAllStores();
  destroyPixelFilter(filter);
  destroyMaster(master);
  testing::testWindows().clear();
  setPreviewWindowHooks({});
}

}  // namespace
}  // namespace orvik
