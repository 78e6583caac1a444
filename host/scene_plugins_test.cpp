// The module's instances in a scene, the host's commands and the save and
// load states, driven against the real module.
#include "host/scene_plugins.h"

#include <gtest/gtest.h>

#include "host/cli_session.h"
#include "host/demo.h"

namespace orvik::host {
namespace {

TEST(SettingsStates, WrittenLinesReadBackByteByByte) {
  SettingsWriter w;
  const HostSaveState* s = w.state();
  EXPECT_EQ(s->ioMode, HOST_IO_TEXT);
  // Lengths count the terminating zero; a trailing line feed is the host's.
  s->write(s->writeData, "BEGIN X", 8);
  s->write(s->writeData, "# Saved Tue Dec  8 03:00:00 2026\n", 34);
  s->write(s->writeData, " VALUE 1", 9);
  s->write(s->writeData, nullptr, 3);
  s->write(s->writeData, "ignored", 0);
  EXPECT_EQ(w.text(), "BEGIN X\n# Saved Tue Dec  8 03:00:00 2026\n VALUE 1");

  SettingsReader r(w.text());
  const HostLoadState* l = r.state();
  std::string back;
  char c = 0;
  while (l->read(l->readData, &c, 1) == 1) back += c;
  EXPECT_EQ(back, w.text() + "\n");
  EXPECT_EQ(l->read(l->readData, &c, 1), 0);  // stays at the end
  char big[64];
  EXPECT_EQ(l->read(l->readData, big, sizeof big), 0);
}

class DemoSession : public ::testing::Test {
 protected:
  void SetUp() override {
    HostOptions o;
    o.modulePath = ORVIK_MODULE_PATH;
    o.quiet = true;
    o.privateModuleCopy = true;
    ASSERT_EQ(session.start(o), "");
    SceneReadResult demo = demoScene();
    ASSERT_TRUE(demo.ok) << demo.error;
    ASSERT_EQ(session.useScene(std::move(demo.scene)), "");
  }
  HostSession session;
};

TEST_F(DemoSession, EveryShadedSurfaceGetsAnInstanceAndTheSceneItsHandlers) {
  int expected = 0;
  for (const Object& o : session.scene.objects)
    for (const Surface& s : o.surfaces) expected += static_cast<int>(s.shaders.size());
  EXPECT_EQ(session.created.shaders, expected);
  EXPECT_EQ(session.created.failures, 0);
  EXPECT_EQ(session.plugins->shaderInstanceCount(), expected);
  EXPECT_NE(session.plugins->masterInstance(), nullptr);
  EXPECT_NE(session.plugins->pixelFilterInstance(), nullptr);
  const RenderPlugins r = session.plugins->renderPlugins();
  ASSERT_EQ(r.surfaceShaders.size(), session.scene.objects.size());
  ASSERT_NE(r.shadersOf(0, 0), nullptr);  // the floor is an Orvik surface too
  EXPECT_EQ(r.shadersOf(0, 0)->size(), 1u);
  int bound = 0;
  for (std::size_t o = 0; o < session.scene.objects.size(); ++o)
    if (const auto* list = r.shadersOf(o, 0)) bound += static_cast<int>(list->size());
  EXPECT_EQ(bound, expected);
  EXPECT_EQ(r.hostVersion, 7);
}

TEST_F(DemoSession, CommandsApplyServersAndShaders) {
  CommandInterpreter& cmd = *session.commands;
  // A second ApplyServer keeps the one master.
  const HostInstance master = session.plugins->masterInstance();
  EXPECT_EQ(cmd.execute("ApplyServer MasterHandler Orvik"), 1);
  EXPECT_EQ(session.plugins->masterInstance(), master);
  EXPECT_EQ(cmd.execute("ApplyServer ShaderHandler Orvik"), 0);
  EXPECT_EQ(cmd.execute("ApplyServer MasterHandler NoSuchServer"), 0);

  // The floor loses its shader through the surface editor and gets it again.
  const auto* editor = static_cast<const HostSurfaceEditorFuncs*>(
      HostEnvironment::globalFunction()(HOST_SURFACE_EDITOR_NAME, HOST_GFUSE_TRANSIENT));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(cmd.execute("Surf_AddShader Orvik"), 0);  // no surface is current yet
  editor->setSurface(HostEnvironment::surfaceId(0, 0));
  ASSERT_EQ(session.scene.objects[0].surfaces[0].shaders.size(), 1u);
  const int with = session.plugins->shaderInstanceCount();
  EXPECT_EQ(cmd.execute("Surf_RemShader Orvik"), 1);
  EXPECT_EQ(session.plugins->shaderInstanceCount(), with - 1);
  EXPECT_TRUE(session.scene.objects[0].surfaces[0].shaders.empty());
  EXPECT_EQ(cmd.execute("Surf_RemShader Orvik"), 0);
  EXPECT_EQ(cmd.execute("Surf_AddShader Orvik"), 1);
  EXPECT_EQ(session.plugins->shaderInstanceCount(), with);
  ASSERT_EQ(session.scene.objects[0].surfaces[0].shaders.size(), 1u);
  EXPECT_NE(session.plugins->shaderInstance(0, 0, 0), nullptr);

  EXPECT_EQ(cmd.execute("GoToFrame 12"), 1);
  EXPECT_EQ(session.env.currentFrame, 12);
  EXPECT_DOUBLE_EQ(session.env.interfaceInfo.curTime, 12 / 30.0);
  EXPECT_EQ(cmd.execute("GoToFrame twelve"), 0);
  EXPECT_EQ(cmd.execute("SelectByName Leaf"), 1);
  ASSERT_EQ(session.env.selection.size(), 1u);
  EXPECT_EQ(session.env.interfaceInfo.selItems[1], nullptr);
  EXPECT_EQ(cmd.execute("SelectByName Nobody"), 0);
  EXPECT_NE(cmd.lastError().find("Nobody"), std::string::npos);
  EXPECT_EQ(cmd.execute("Fly me to the moon"), 0);
  EXPECT_EQ(cmd.lastError(), "Fly: unknown command");
}

TEST_F(DemoSession, RenderFrameCommandRendersTheCurrentFrame) {
  session.current().render.width = 24;
  session.current().render.height = 18;
  session.current().render.aaMaxSamples = 1;
  session.renderThreads = 1;
  EXPECT_EQ(session.commands->execute("RenderFrame"), 1);
  EXPECT_EQ(session.framesRendered, 1);
  EXPECT_EQ(session.lastRender.width, 24);
  // The command falls back to refusing when no renderer is attached.
  session.commands->renderFrame = nullptr;
  EXPECT_EQ(session.commands->execute("RenderFrame"), 0);
}

TEST_F(DemoSession, AutoConfirmAnswersQuestionsWhileOn) {
  session.env.answers.confirm = false;
  const auto* m = static_cast<const HostMessageFuncs2*>(HostEnvironment::globalFunction()("Info Messages 2", 1));
  EXPECT_EQ(m->okCancel("t", "a", "b"), HOST_ANSWER_CANCEL);
  EXPECT_EQ(session.commands->execute("AutoConfirm 1"), 1);
  EXPECT_EQ(m->okCancel("t", "a", "b"), HOST_ANSWER_OK);
  EXPECT_EQ(session.commands->execute("AutoConfirm 0"), 1);
  EXPECT_EQ(m->okCancel("t", "a", "b"), HOST_ANSWER_CANCEL);
}

TEST_F(DemoSession, SavedSettingsReplaceTheScenesText) {
  // Whatever the module writes lands in the scene and survives writing it.
  EXPECT_EQ(session.plugins->saveSettings(), "");
  const std::string text = writeSceneText(session.scene);
  const SceneReadResult again = parseSceneText(text, "saved.orvs");
  ASSERT_TRUE(again.ok) << again.error;
  for (std::size_t o = 0; o < session.scene.objects.size(); ++o)
    for (std::size_t s = 0; s < session.scene.objects[o].surfaces.size(); ++s)
      for (std::size_t k = 0; k < session.scene.objects[o].surfaces[s].shaders.size(); ++k)
        EXPECT_EQ(again.scene.objects[o].surfaces[s].shaders[k].settings,
                  session.scene.objects[o].surfaces[s].shaders[k].settings);
}

TEST(ScenePluginsCommands, InterfaceActivationAddsMasterAndFilterThroughCommands) {
  HostSession session;
  HostOptions o;
  o.modulePath = ORVIK_MODULE_PATH;
  o.quiet = true;
  o.privateModuleCopy = true;
  ASSERT_EQ(session.start(o), "");
  Scene s;
  ASSERT_EQ(session.useScene(std::move(s)), "");
  ASSERT_EQ(session.plugins->masterInstance(), nullptr);
  EXPECT_EQ(session.plugins->openInterface(HOST_CLASS_PIXEL_FILTER_INTERFACE, "Orvik", nullptr, kNoItem), 0);
  EXPECT_NE(session.plugins->masterInstance(), nullptr);
  ASSERT_FALSE(session.env.commands.empty());
  EXPECT_EQ(session.env.commands.front(), "ApplyServer MasterHandler Orvik");
}

}  // namespace
}  // namespace orvik::host
