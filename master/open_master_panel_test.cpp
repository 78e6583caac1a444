#include "master/open_master_panel.h"

#include <gtest/gtest.h>

#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/open_surface.h"
#include "module/registry.h"
#include "panels/button_control.h"
#include "panels/panel.h"

namespace orvik {
namespace {

// A surface instance stand-in: the list link and its panel.
struct FakeSurface {
    FakeSurface* next = nullptr;
    Panel* panel = nullptr;
};
SurfaceInstance* asSurface(FakeSurface* f) { return reinterpret_cast<SurfaceInstance*>(f); }
FakeSurface* fake(SurfaceInstance* s) { return reinterpret_cast<FakeSurface*>(s); }

int gShown = 0, gRaised = 0;

class OpenMasterTest : public ::testing::Test {
protected:
    void SetUp() override {
        gShown = gRaised = 0;
        MasterHooks hooks;
        hooks.showPanel = [](Panel* p) {
            ++gShown;
            p->isOpen = 1;
        };
        hooks.raisePanel = [](Panel*) { ++gRaised; };
        setMasterHooks(hooks);
        SurfaceAccess access;
        access.next = [](SurfaceInstance* s) { return asSurface(fake(s)->next); };
        access.panel = [](SurfaceInstance* s) { return fake(s)->panel; };
        setSurfaceAccess(access);

        surfacePanel = CreatePanel("surface", nullptr, 0);
        pin = AddCheckButton("PIN", 0, 0, surfacePanel);
        closedPanel = CreatePanel("closed", nullptr, 0);
        closed.panel = closedPanel;
        closed.next = &open;
        open.panel = surfacePanel;
        saved = registry().surfaces.exchange(asSurface(&closed));
        m = createMaster(nullptr);
        ASSERT_NE(m, nullptr);
        surfacePanel->isOpen = 1;
        surfacePanel->placement = PanelPlacement{120, 80, 500, 400};
    }
    void TearDown() override {
        destroyMaster(m);
        DestroyPanel(surfacePanel);
        DestroyPanel(closedPanel);
        registry().surfaces.store(saved);
        setSurfaceAccess(SurfaceAccess{});
        setMasterHooks(MasterHooks{});
    }
    MasterInstance* m = nullptr;
    Panel* surfacePanel = nullptr;
    Panel* closedPanel = nullptr;
    ButtonControl* pin = nullptr;
    FakeSurface closed, open;
    SurfaceInstance* saved = nullptr;
};

TEST_F(OpenMasterTest, UnpinnedSurfacePanelGivesUpItsPlace) {
    EXPECT_EQ(openMasterPanel(), surfacePanel);
    EXPECT_EQ(gShown, 1);
    EXPECT_EQ(m->panel->placement.left, 120);
    EXPECT_EQ(m->panel->placement.width, 500);
    EXPECT_EQ(surfacePanel->closeState.get(), kCloseCancelled);

    // Already open: brought to the front only.
    EXPECT_EQ(openMasterPanel(), nullptr);
    EXPECT_EQ(gShown, 1);
    EXPECT_EQ(gRaised, 1);
}

TEST_F(OpenMasterTest, PinnedSurfacePanelStays) {
    pin->state = 3;
    EXPECT_EQ(openMasterPanel(), nullptr);
    EXPECT_EQ(gShown, 1);
    EXPECT_NE(surfacePanel->closeState.get(), kCloseCancelled);
    EXPECT_NE(m->panel->placement.left, 120);
}

}  // namespace
}  // namespace orvik
