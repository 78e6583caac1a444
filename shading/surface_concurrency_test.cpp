// Render threads read a surface's settings and prepared values while the
// panel's thread edits and re-prepares them (run under ThreadSanitizer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "panels/numeric_control.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"

namespace orvik {
namespace {

TEST(SurfaceConcurrency, ReadersSeeWholePreparationsWhileThePanelEdits) {
  setSurfaceHooks(SurfaceHooks{});
  const char* error = nullptr;
  SurfaceInstance* s = createSurfaceInstance(reinterpret_cast<void*>(0x900), &error);
  ASSERT_NE(s, nullptr);
  NumericControl* strength2 = AsNumeric(s->control("STRENGTH2"));
  NumericControl* bias1 = AsNumeric(s->control("GLOSSSHARP1"));
  const int strengthIndex = surfaceSettingIndex("STRENGTH1");

  std::atomic<bool> done{false};
  std::atomic<int> badReads{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!done.load(std::memory_order_relaxed)) {
        const int count = s->runtime.prepared.specularLayerCount();
        const SpecularLayer first = s->runtime.prepared.specularLayer(0);
        if (count < 1 || count > 2 || first.glossBias < 0.001 || first.glossBias > 0.999 ||
            s->number(strengthIndex) != 1.0)
          badReads.fetch_add(1);
      }
    });
  }
  for (int i = 0; i < 200; ++i) {
    strength2->value = (i % 2) ? 0.5 : 0.0;
    bias1->value = (i % 3) * 0.5;
    surfaceControlChanged(strength2);
  }
  done = true;
  for (std::thread& t : readers) t.join();
  EXPECT_EQ(badReads.load(), 0);
  destroySurfaceInstance(s);
}

}  // namespace
}  // namespace orvik
