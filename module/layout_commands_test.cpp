#include "module/layout_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "master/master_events.h"
#include "master/master_instance.h"
#include "module/activation.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "module/testing_fake_host.h"

namespace orvik {
namespace {

using testing::FakeHost;
using testing::FakeItem;
using testing::FakeSurface;
using testing::idOf;

// A host that answers the surface commands as a real one does: adding the
// shader creates an instance for the current surface, removing destroys it.
class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    resetHostServices();
    setCommandHooks({});
    ASSERT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
    generic.data = this;
    generic.evaluate = &Commands::evaluate;
  }
  void TearDown() override {
    for (auto &[surface, inst] : instances) shader.inst.destroy(inst);
    if (master) masterHooksDestroy();
    registry().activePixelFilter.store(nullptr);
    registry().previewWindows.store(nullptr);
    setCommandHooks({});
    resetHostServices();
  }

  static int evaluate(void *data, const char *command) {
    auto *self = static_cast<Commands *>(data);
    const std::string text = command;
    self->sent.push_back(text);
    HostSurfaceId surface = self->host.currentSurface;
    if (text == kAddShaderCommand) {
      HostError error = nullptr;
      self->instances[surface] = self->shader.inst.create(nullptr, surface, &error);
    } else if (text == kRemoveShaderCommand) {
      auto found = self->instances.find(surface);
      if (found != self->instances.end()) {
        self->shader.inst.destroy(found->second);
        self->instances.erase(found);
      }
    }
    return 1;
  }

  void run(LayoutCommand command) { runLayoutCommand(command, FakeHost::global(), &generic); }
  long countSent(const std::string &text) const {
    return std::count(sent.begin(), sent.end(), text);
  }
  void addMasterAndFilter() {
    HostMasterHandler handler{};
    ASSERT_EQ(activateMasterHandler(4, FakeHost::global(), &handler, nullptr), HOST_AFUNC_OK);
    masterHandler = handler;
    HostError error = nullptr;
    master = handler.inst.create(nullptr, nullptr, &error);
    ASSERT_NE(master, nullptr);
    static int filterStandIn;
    registry().activePixelFilter.store(reinterpret_cast<PixelFilterInstance *>(&filterStandIn));
  }
  void masterHooksDestroy() {
    masterHandler.inst.destroy(master);
    master = nullptr;
  }

  FakeHost host;
  HostShaderHandler shader{};
  HostMasterHandler masterHandler{};
  HostInstance master = nullptr;
  HostLayoutGeneric generic{};
  std::vector<std::string> sent;
  std::map<HostSurfaceId, HostInstance> instances;
};

TEST_F(Commands, AddToObjectsCountsOnlyNewSurfacesButEveryObject) {
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  FakeItem *ball = host.add(HOST_ITEM_OBJECT, "Ball");
  FakeItem *lamp = host.add(HOST_ITEM_LIGHT, "Lamp");
  host.addSurface(box, "BoxSide");
  host.addSurface(box, "BoxTop");
  FakeSurface *ballSkin = host.addSurface(ball, "BallSkin");
  host.selection = {idOf(ball)};
  run(LayoutCommand::AddToObjects);
  ASSERT_EQ(host.infos.back(), "Orvik added to 1 new surfaces of 1 objects.");
  EXPECT_NE(surfaceInstanceFor(FakeHost::surfaceIdOf(ballSkin)), nullptr);

  host.selection = {idOf(lamp), idOf(box), idOf(ball)};
  sent.clear();
  run(LayoutCommand::AddToObjects);
  EXPECT_EQ(host.infos.back(), "Orvik added to 2 new surfaces of 2 objects.");
  EXPECT_EQ(countSent(kAddShaderCommand), 2);
  EXPECT_EQ(instances.size(), 3u);
}

TEST_F(Commands, CancelChangesNothing) {
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  host.addSurface(box, "BoxSide");
  host.selection = {idOf(box)};
  host.okCancelAnswer = HOST_ANSWER_CANCEL;
  for (auto command : {LayoutCommand::AddToObjects, LayoutCommand::AddToAll,
                       LayoutCommand::RemoveFromObjects}) {
    run(command);
    EXPECT_EQ(countSent(kAddShaderCommand) + countSent(kRemoveShaderCommand), 0);
  }
  EXPECT_TRUE(host.infos.empty());
  EXPECT_TRUE(instances.empty());
}

TEST_F(Commands, OlderHostCannotAddToObjects) {
  resetHostServices();
  host.productInfo = HOST_PRODUCT_MAKE(6, 5, 508);
  ASSERT_EQ(acquireServices(FakeHost::global(), 4), HOST_AFUNC_OK);
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  host.addSurface(box, "BoxSide");
  host.selection = {idOf(box)};
  run(LayoutCommand::AddToObjects);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Unfortunately, this Orvik utility");
  EXPECT_TRUE(instances.empty());
  EXPECT_EQ(countSent(kImageEditorOffCommand), 0);
}

TEST_F(Commands, AddToAllVisitsEveryObjectAndAddsTheMasterTwice) {
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  FakeItem *ball = host.add(HOST_ITEM_OBJECT, "Ball");
  host.add(HOST_ITEM_CAMERA, "Camera");
  host.addSurface(box, "BoxSide");
  host.addSurface(ball, "BallSkin");
  run(LayoutCommand::AddToAll);
  EXPECT_EQ(host.infos.back(), "Orvik added to 2 new surfaces of 2 objects.");
  // Before the question and again after it, as the master is still absent.
  EXPECT_EQ(countSent("ApplyServer MasterHandler Orvik"), 2);
  EXPECT_EQ(countSent("ApplyServer PixelFilterHandler Orvik"), 2);
}

TEST_F(Commands, RemoveFromObjectsStripsTheShader) {
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  FakeSurface *side = host.addSurface(box, "BoxSide");
  host.addSurface(box, "BoxTop");
  host.selection = {idOf(box)};
  run(LayoutCommand::AddToObjects);
  ASSERT_EQ(instances.size(), 2u);
  sent.clear();
  run(LayoutCommand::RemoveFromObjects);
  EXPECT_EQ(host.infos.back(), "Orvik was removed from 2 surfaces of 1 objects.");
  EXPECT_EQ(countSent(kRemoveShaderCommand), 2);
  EXPECT_EQ(countSent("ApplyServer MasterHandler Orvik"), 0) << "removing adds nothing";
  EXPECT_TRUE(instances.empty());
  EXPECT_EQ(surfaceInstanceFor(FakeHost::surfaceIdOf(side)), nullptr);
}

TEST_F(Commands, WithoutTheSurfaceEditorNothingIsCountedButTheMessageAppears) {
  host.switchOff(HOST_SURFACE_EDITOR_NAME);
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  host.addSurface(box, "BoxSide");
  host.selection = {idOf(box)};
  run(LayoutCommand::AddToObjects);
  EXPECT_EQ(host.infos.back(), "Orvik added to 0 new surfaces of 1 objects.");
  host.switchOff(HOST_INTERFACE_INFO_NAME);
  run(LayoutCommand::RemoveFromObjects);
  EXPECT_EQ(host.infos.back(), "Orvik was removed from 0 surfaces of 0 objects.");
}

TEST_F(Commands, RenderStartsARunOnlyWithPreviewWindows) {
  addMasterAndFilter();
  auto *m = static_cast<MasterInstance *>(master);
  FakeItem *box = host.add(HOST_ITEM_OBJECT, "Box");
  host.selection = {idOf(box)};

  run(LayoutCommand::Render);
  EXPECT_EQ(m->previewRenderActive.load(), 0);
  EXPECT_EQ(countSent("AutoConfirm 1"), 0);

  static int windowStandIn;
  registry().previewWindows.store(reinterpret_cast<PreviewWindow *>(&windowStandIn));
  run(LayoutCommand::Render);
  EXPECT_EQ(m->previewPlayState.load(), 2);
  EXPECT_EQ(m->autoConfirmActive.load(), 1);
  EXPECT_EQ(m->previewRenderActive.load(), 1);
  EXPECT_EQ(countSent("AutoConfirm 1"), 1);
  EXPECT_EQ(countSent(kImageEditorOffCommand), 1);
  EXPECT_EQ(previewRunSelection(), idOf(box));
  EXPECT_EQ(countSent("ApplyServer MasterHandler Orvik"), 0);
}

bool g_previewsHidden = false;
bool g_panelsHidden = false;

TEST_F(Commands, HideCommandsToggle) {
  CommandHooks hooks;
  hooks.anyPreviewWindowHidden = [] { return g_previewsHidden; };
  hooks.setPreviewWindowsHidden = [](bool hidden) { g_previewsHidden = hidden; };
  hooks.anyPanelHidden = [] { return g_panelsHidden; };
  hooks.setPanelsHidden = [](bool hidden) { g_panelsHidden = hidden; };
  setCommandHooks(hooks);
  g_previewsHidden = g_panelsHidden = false;

  run(LayoutCommand::HidePreviews);
  EXPECT_TRUE(g_previewsHidden);
  EXPECT_FALSE(g_panelsHidden);
  sent.clear();
  run(LayoutCommand::HidePreviews);
  EXPECT_FALSE(g_previewsHidden);
  EXPECT_EQ(countSent(kImageEditorOffCommand), 1) << "showing previews again closes the image editor";

  run(LayoutCommand::HideAll);
  EXPECT_TRUE(g_previewsHidden && g_panelsHidden);
  // With anything hidden, the toggle shows everything.
  g_previewsHidden = false;
  run(LayoutCommand::HideAll);
  EXPECT_FALSE(g_previewsHidden || g_panelsHidden);
}

}  // namespace
}  // namespace orvik
