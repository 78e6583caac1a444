// Render threads read master settings while the panel's thread edits them.
#include "master/master_values.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "master/master_instance.h"
#include "master/master_panel.h"
#include "panels/button_control.h"
#include "panels/numeric_control.h"

namespace orvik {
namespace {

TEST(MasterValuesThreads, ReadersSeeWholeValuesWhileThePanelEdits) {
    MasterInstance* m = createMaster(nullptr);
    ASSERT_NE(m, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int> badPixels{0};

    std::vector<std::thread> renderers;
    for (int t = 0; t < 2; ++t)
        renderers.emplace_back([&, t] {
            for (int n = 0; !stop.load(std::memory_order_relaxed) || n < 200; ++n) {
                double c[3] = {0.3, 0.6, 0.9};
                masterProcessPixel(n % 64, t, n, 640, c);
                for (double v : c)
                    if (!std::isfinite(v) || v < 0.0) badPixels.fetch_add(1);
                masterNoteSourceLight();
                const MasterSurfaceBoosts b = masterSurfaceBoosts();
                if (b.diffuse != 1.0 && b.diffuse != 2.0) badPixels.fetch_add(1);
            }
        });

    // The panel's thread: values, switches and the source-light flag.
    for (int n = 0; n < 300; ++n) {
        SetNumberValue(m->diffuse, n % 2 ? 2.0 : 1.0);
        SetNumberValue(m->wGamma, n % 3 ? 1.5 : 1.0);
        m->grain->state = n % 2 ? kCheckOn : 0;
        m->doClip->state = n % 5 ? kCheckOn : 0;
        m->sourceLightSeen.store(0);
    }
    stop = true;
    for (std::thread& r : renderers) r.join();
    EXPECT_EQ(badPixels.load(), 0);
    destroyMaster(m);
}

}  // namespace
}  // namespace orvik
