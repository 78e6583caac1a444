#include "master/master_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "master/master_handler.h"
#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "module/registry.h"
#include "panels/panel.h"

namespace orvik {
namespace {

// Stand-ins for preview windows; the master only walks them through the hooks.
struct FakeWindow {
    FakeWindow* next = nullptr;
    bool marked = false;
    int cameras = 1;
    ItemHandle camera = nullptr;
    double frame = 0.0;
    bool scrub = false;
    long tookFrame = -1;
};
PreviewWindow* asWindow(FakeWindow* f) { return reinterpret_cast<PreviewWindow*>(f); }
FakeWindow* fake(PreviewWindow* w) { return reinterpret_cast<FakeWindow*>(w); }

std::vector<std::string> gSent;
int gStoreRefreshes = 0, gHidden = 0, gLabelRefreshes = 0;
double gTime = 0.0;
int gMajor = 7;

int record(void*, const char* command) {
    gSent.push_back(command);
    return 1;
}

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gSent.clear();
        gStoreRefreshes = gHidden = gLabelRefreshes = 0;
        MasterEventHooks hooks;
        hooks.nextWindow = [](PreviewWindow* w) { return asWindow(fake(w)->next); };
        hooks.renderMarked = [](PreviewWindow* w) { return fake(w)->marked; };
        hooks.setRenderMark = [](PreviewWindow* w, bool on) { fake(w)->marked = on; };
        hooks.cameraCount = [](PreviewWindow* w) { return fake(w)->cameras; };
        hooks.camera = [](PreviewWindow* w) { return fake(w)->camera; };
        hooks.frame = [](PreviewWindow* w) { return fake(w)->frame; };
        hooks.followsScrub = [](PreviewWindow* w) { return fake(w)->scrub; };
        hooks.takeScrubFrame = [](PreviewWindow* w, long f) { fake(w)->tookFrame = f; };
        hooks.hidePreviews = [] { ++gHidden; };
        hooks.refreshLightFilterLabels = [] { ++gLabelRefreshes; };
        hooks.currentTime = [] { return gTime; };
        hooks.renderCamera = [](double) -> ItemHandle { return nullptr; };
        hooks.hostMajorVersion = [] { return gMajor; };
        setMasterEventHooks(hooks);
        MasterHooks masterSide;
        masterSide.refreshStoreLights = [] { ++gStoreRefreshes; };
        setMasterHooks(masterSide);
        savedWindows = registry().previewWindows.load();
        savedFilter = registry().activePixelFilter.load();
        m = createMaster(nullptr);
        ASSERT_NE(m, nullptr);
    }
    void TearDown() override {
        destroyMaster(m);
        registry().previewWindows = savedWindows;
        registry().activePixelFilter = savedFilter;
        setMasterEventHooks(MasterEventHooks{});
        setMasterHooks(MasterHooks{});
    }
    void windows(std::vector<FakeWindow*> list) {
        for (size_t n = 0; n + 1 < list.size(); ++n) list[n]->next = list[n + 1];
        registry().previewWindows = list.empty() ? nullptr : asWindow(list[0]);
    }
    void command(const char* text) { handleMasterEvent(m, kEventCommand, text, record, nullptr); }
    void timeChange() { handleMasterEvent(m, kEventTimeChange, nullptr, record, nullptr); }

    MasterInstance* m = nullptr;
    PreviewWindow* savedWindows = nullptr;
    PixelFilterInstance* savedFilter = nullptr;
    int cameraA = 0, cameraB = 0;
};

TEST_F(EventsTest, PreviewRunRendersEachCameraAndFrameOnce) {
    FakeWindow w1, w2, w3, w4;
    w1.camera = w2.camera = w4.camera = &cameraA;
    w1.frame = 4.2;
    w2.frame = 3.6;  // same rounded frame as w1
    w4.frame = 7.0;
    w3.camera = &cameraB;
    w3.cameras = 2;  // never rendered by a run
    windows({&w1, &w2, &w3, &w4});

    beginPreviewRun(m, &cameraB, record, nullptr);
    EXPECT_TRUE(w1.marked && w2.marked && w4.marked);
    EXPECT_FALSE(w3.marked);
    EXPECT_EQ(m->previewPlayState.load(), kPreviewRunRequested);
    EXPECT_EQ(m->previewRenderActive.load(), 1);
    EXPECT_EQ(previewRunSelection(), &cameraB);
    ASSERT_EQ(gSent.size(), 2u);
    EXPECT_EQ(gSent[0], "AutoConfirm 1");
    EXPECT_EQ(gSent[1], "ImageEditor 0");

    gSent.clear();
    command("Orvik_Render");
    EXPECT_FALSE(w1.marked || w2.marked);
    EXPECT_TRUE(w4.marked);
    EXPECT_EQ(m->previewPlayState.load(), kPreviewRunning);
    const std::vector<std::string> first = {"ApplyServer PixelFilterHandler Orvik", gSent[1], "PlayForward",
                                            "GoToFrame 4", "RenderFrame"};
    EXPECT_EQ(gSent, first);
    EXPECT_EQ(gSent[1].rfind("SelectItem ", 0), 0u);

    gSent.clear();
    timeChange();
    EXPECT_FALSE(w4.marked);
    ASSERT_GE(gSent.size(), 4u);
    EXPECT_EQ(gSent[1], "Pause");
    EXPECT_EQ(gSent[2], "GoToFrame 7");
    // No window is left marked: the first non-command event ends the run.
    EXPECT_EQ(gSent.back(), "AutoConfirm 0");
    EXPECT_EQ(m->autoConfirmActive.load(), 0);
    EXPECT_EQ(m->previewRenderActive.load(), 0);
    EXPECT_EQ(previewRunSelection(), nullptr);

    gSent.clear();
    timeChange();
    EXPECT_EQ(m->previewPlayState.load(), kPreviewIdle);
    EXPECT_TRUE(gSent.empty());
}

TEST_F(EventsTest, RefreshAndRedrawNeitherApplyFilterNorFinishLoads) {
    m->panel->loadPending = 1;
    command("Redraw");
    command("RefreshNow");
    command("ApplyServer MasterHandler Orvik");
    EXPECT_TRUE(gSent.empty());
    EXPECT_EQ(m->panel->loadPending.get(), 1);
    command("MoveTool");
    ASSERT_EQ(gSent.size(), 1u);
    EXPECT_EQ(gSent[0], "ApplyServer PixelFilterHandler Orvik");
    EXPECT_EQ(m->panel->loadPending.get(), 0);
}

TEST_F(EventsTest, SceneEditsRefreshPreviewsButOwnAndIgnoredCommandsDoNot) {
    command("AddPointLight");
    EXPECT_EQ(gStoreRefreshes, 0);  // no previews: nothing to refresh

    FakeWindow w;
    windows({&w});
    command("GoToFrame 12");
    command("SelectItem 10000");
    command("*comment");
    command("RenderFrame");
    EXPECT_EQ(gStoreRefreshes, 0);
    command("AddPointLight");
    EXPECT_EQ(gStoreRefreshes, 1);
    EXPECT_EQ(gLabelRefreshes, 0);
    command("ClearAllLights");
    EXPECT_EQ(gStoreRefreshes, 2);
    EXPECT_EQ(gLabelRefreshes, 1);
    command("ImageEditor 1");
    EXPECT_EQ(gHidden, 1);
    EXPECT_EQ(gStoreRefreshes, 2);
    EXPECT_TRUE(isIgnoredCommand("VolumetricLighting 1"));
    EXPECT_FALSE(isIgnoredCommand("Volume"));
}

TEST_F(EventsTest, TimeChangeMovesOnlyScrubbingWindows) {
    FakeWindow scrub, fixed;
    scrub.scrub = true;
    windows({&scrub, &fixed});
    gTime = 2.0;  // 60 at the default 30 frames per second
    timeChange();
    EXPECT_EQ(scrub.tookFrame, 60);
    EXPECT_EQ(fixed.tookFrame, -1);
}

TEST_F(EventsTest, LastEventTextIsBoundedAndClearsSourceFlag) {
    m->sourceLightSeen = 1;
    const std::string longCommand(300, 'x');
    command(longCommand.c_str());
    EXPECT_EQ(std::string(lastEventText()), std::string(127, 'x'));
    EXPECT_EQ(m->sourceLightSeen.load(), 0);
    timeChange();
    EXPECT_STREQ(lastEventText(), kNoCommandText);

    // Through the host's record, with its command service.
    HostMasterAccess access{};
    access.eventCode = HOST_EVENT_COMMAND;
    access.eventData = "LoadScene";
    access.evaluate = [](void*, const char* c) { return record(nullptr, c); };
    gSent.clear();
    EXPECT_EQ(masterHandlerEvent(m, &access), 0.0);
    EXPECT_STREQ(lastEventText(), "LoadScene");
    ASSERT_EQ(gSent.size(), 1u);
    EXPECT_EQ(gSent[0], "ApplyServer PixelFilterHandler Orvik");
}

}  // namespace
}  // namespace orvik
