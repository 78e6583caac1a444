// The master panel's lines about stored previews.
#include "preview/store_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "panels/control.h"
#include "panels/label_control.h"
#include "preview/pixel_filter.h"
#include "preview/preview_store.h"

namespace orvik {
namespace {

TEST(StoredMemoryText, ReportsTheStoresAndZeroOnceAllAreFreed) {
  MasterInstance* m = createMaster(nullptr);
  ASSERT_NE(m, nullptr);
  const char* error = nullptr;
  PixelFilterInstance* f = createPixelFilter(nullptr, nullptr, &error);  // fills the master's preview slots
  ASSERT_NE(f, nullptr);
  ASSERT_NE(m->ramText, nullptr);

  HostSceneInfo scene{};
  scene.minSamplesPerPixel = scene.maxSamplesPerPixel = 1;
  scene.limitedRegion[2] = 999;
  scene.limitedRegion[3] = 999;
  PreviewStore* s = createStore(nullptr, 1);
  StoreFrame how;
  how.scene = &scene;
  ASSERT_TRUE(prepareStore(*s, 1, how));
  storedMemoryText();
  const double expected = double(storedMemoryBytes()) / kBytesPerMegabyte;
  EXPECT_GT(expected, 5.5);  // half a million colour cells: 1000 x 1000 at steps 1 x 2
  char line[64];
  std::snprintf(line, sizeof line, "%0.1lf MB used for stored previews.", expected);
  EXPECT_STREQ(m->ramText->text, line);

  ASSERT_TRUE(masterHooks().freePreviewStores && masterHooks().updateMemoryText);
  masterHooks().freePreviewStores();
  masterHooks().updateMemoryText();
  EXPECT_EQ(storeCount(), 0);
  EXPECT_STREQ(m->ramText->text, "0.0 MB used for stored previews.");
  destroyPixelFilter(f);
  destroyMaster(m);
}

TEST(StoreItemIds, RenumberedLightsAndCameraFollow) {
  auto id = [](std::uintptr_t n) { return reinterpret_cast<HostItemId>(n); };
  PreviewStore* s = createStore(id(1), 4);
  ASSERT_NE(s, nullptr);
  s->lights->lightCount = s->lights->captureCount = 2;
  s->lights->records[0].id = id(10);
  s->lights->records[1].id = id(11);
  s->channels->lightCount = 2;
  s->channels->lightIds[0] = id(10);
  s->channels->lightIds[1] = id(11);
  const ItemIdPair pairs[] = {{id(11), id(21)}, {id(1), id(5)}, {nullptr, nullptr}};
  changeStoreItemIds(pairs);
  EXPECT_EQ(s->lights->records[0].id, id(10));
  EXPECT_EQ(s->lights->records[1].id, id(21));
  EXPECT_EQ(s->channels->lightIds[1], id(21));
  EXPECT_EQ(findStore(id(5), 4), s);
  freeAllStores();
}

TEST(ComparisonText, OneWindowSeveralAndNone) {
  char text[128];
  ComparisonSummary s;
  comparisonText(s, text, sizeof text);
  EXPECT_STREQ(text, "No active pixel color comparisons.");
  s.count = 1, s.red = 12.9, s.green = -3.2, s.blue = 0.0, s.rmsPercent = 4.25;
  comparisonText(s, text, sizeof text);
  EXPECT_STREQ(text, "1 compare   12 -3 0, (4.2%)");
  s.count = 3;
  comparisonText(s, text, sizeof text);
  EXPECT_STREQ(text, "3 compares avg  12 -3 0, (4.2%)");
  comparisonText(s, text, 8);  // bounded
  EXPECT_EQ(std::string(text).size(), 7u);
}

// Two windows comparing: averages of clamped differences, rms of magnitudes.
TEST(ComparisonText, AveragesClampedDifferences) {
  static double gDiffs[2][4] = {{300.0, 10.0, -20.0, 3.0}, {100.0, 30.0, -400.0, 4.0}};
  ComparisonHooks h;
  h.first = [] { return reinterpret_cast<PixelInfoWindow*>(&gDiffs[0]); };
  h.next = [](PixelInfoWindow* w) -> PixelInfoWindow* {
    return reinterpret_cast<double(*)[4]>(w) == &gDiffs[0] ? reinterpret_cast<PixelInfoWindow*>(&gDiffs[1]) : nullptr;
  };
  h.comparison = [](PixelInfoWindow* w, double d[3], double& magnitude) {
    const double* v = *reinterpret_cast<double(*)[4]>(w);
    d[0] = v[0], d[1] = v[1], d[2] = v[2], magnitude = v[3];
    return true;
  };
  setComparisonHooks(h);
  const ComparisonSummary s = summariseComparisons();
  EXPECT_EQ(s.count, 2);
  EXPECT_DOUBLE_EQ(s.red, (255.0 + 100.0) / 2);
  EXPECT_DOUBLE_EQ(s.blue, (-20.0 - 255.0) / 2);
  EXPECT_DOUBLE_EQ(s.rmsPercent, std::sqrt((9.0 + 16.0) / 2));
  setComparisonHooks({});
}

}  // namespace
}  // namespace orvik
