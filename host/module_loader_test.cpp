// Loading the real module and activating its servers under host
// configurations: interface versions, Modeler, and each missing service.
#include "host/module_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "host/scene_plugins.h"
#include "host/services.h"

namespace orvik::host {
namespace {

const std::string kModulePath = ORVIK_MODULE_PATH;

// A host with its own fresh copy of the module, so that what one test's
// activations leave in the module does not reach the next.
struct FreshHost {
  HostEnvironment env;
  Scene scene;
  std::unique_ptr<LoadedModule> module;
  std::unique_ptr<ScenePlugins> plugins;

  void load() {
    env.echoMessages = false;
    env.setScene(&scene);
    env.makeActive();
    std::string error;
    ModuleLoadOptions o;
    o.privateCopy = true;
    module = LoadedModule::open(kModulePath, error, o);
    ASSERT_TRUE(module) << error;
    plugins = std::make_unique<ScenePlugins>(*module, env, scene);
  }
  ~FreshHost() { plugins.reset(); }

  int activateShader() { return plugins->activateHandler(HOST_CLASS_SHADER_HANDLER, "Orvik"); }
  int activateMaster() { return plugins->activateHandler(HOST_CLASS_MASTER_HANDLER, "Orvik"); }
};

TEST(ModuleLoader, ListsTheFifteenServersInOrder) {
  FreshHost h;
  h.load();
  const auto& s = h.module->servers();
  ASSERT_EQ(s.size(), 15u);
  EXPECT_EQ(h.module->descriptor().sync, HOST_MODULE_SYNC);
  EXPECT_EQ(s[0].serverClass, HOST_CLASS_SHADER_HANDLER);
  EXPECT_EQ(s[0].userName, "");
  EXPECT_EQ(s[6].name, "Orvik_Add_Preview");
  EXPECT_EQ(s[6].userName, "Orvik:Add Preview");
  EXPECT_EQ(s[13].userName, "Orvik:(Un)Hide");
  EXPECT_EQ(s[14].serverClass, HOST_CLASS_FRAME_BUFFER_HANDLER);
  EXPECT_EQ(s[14].name, "no_buffer");
  EXPECT_EQ(h.module->find(HOST_CLASS_MASTER_HANDLER, "Orvik"), &s[2]);
  EXPECT_EQ(h.module->find(HOST_CLASS_MASTER_HANDLER, "Other"), nullptr);
}

TEST(ModuleLoader, RefusesWhatIsNoModule) {
  std::string error;
  EXPECT_FALSE(LoadedModule::open("/nonexistent/liborvik.so", error));
  EXPECT_NE(error.find("/nonexistent/liborvik.so"), std::string::npos) << error;

  const auto text =
      std::filesystem::temp_directory_path() / ("orvik-not-a-library-" + std::to_string(::getpid()) + ".so");
  std::ofstream(text) << "not a library";
  EXPECT_FALSE(LoadedModule::open(text.string(), error));
  EXPECT_NE(error.find("cannot load the module"), std::string::npos) << error;
  std::filesystem::remove(text);

  // A real library without the descriptor.
  for (const char* lib : {"/usr/lib/x86_64-linux-gnu/libz.so.1", "/lib/x86_64-linux-gnu/libz.so.1"}) {
    if (!std::filesystem::exists(lib)) continue;
    EXPECT_FALSE(LoadedModule::open(lib, error));
    EXPECT_NE(error.find("exports no _mod_descrip"), std::string::npos) << error;
    break;
  }
}

TEST(ModuleActivation, InterfaceVersionGate) {
  struct Case {
    int version;
    int code;
    bool message;
  };
  for (const Case c : {Case{2, 1, true}, Case{3, 0, false}, Case{4, 0, false}, Case{5, 1, false}}) {
    FreshHost h;
    h.env.activationVersion = c.version;
    h.load();
    EXPECT_EQ(h.activateShader(), c.code) << "version " << c.version;
    EXPECT_EQ(h.activateMaster(), c.code) << "version " << c.version;
    EXPECT_EQ(h.plugins->activateHandler(HOST_CLASS_PIXEL_FILTER_HANDLER, "Orvik"), c.code) << c.version;
    bool sawVersionMessage = false;
    for (const HostMessage& m : h.env.messages)
      sawVersionMessage |= m.kind == HostMessage::Kind::Error &&
                           m.line1 == "This plugin requires LW version 6.0 or later";
    EXPECT_EQ(sawVersionMessage, c.message) << "version " << c.version;
    // The frame buffer that discards everything needs no version.
    EXPECT_EQ(h.plugins->activateHandler(HOST_CLASS_FRAME_BUFFER_HANDLER, "no_buffer"), 0);
  }
}

TEST(ModuleActivation, ModelerTakesTheShaderButNotTheMaster) {
  FreshHost h;
  h.env.kind = HostModuleKind::Modeler;
  Object o;
  o.name = "Ball";
  o.primitive.kind = PrimitiveKind::Sphere;
  Surface s;
  s.name = "Skin";
  s.shaders.push_back({"Orvik", "", true});
  o.surfaces.push_back(s);
  h.scene.addObject(o);
  h.load();
  EXPECT_EQ(h.activateShader(), HOST_AFUNC_OK);
  EXPECT_EQ(h.activateMaster(), HOST_AFUNC_BADAPP);
  const ScenePlugins::CreateSummary made = h.plugins->createInstances();
  EXPECT_EQ(made.shaders, 1);
  EXPECT_EQ(h.plugins->describeShader(0, 0, 0), "Orvik: Inactive in Modeler");
  const RenderPlugins r = h.plugins->renderPlugins();
  ASSERT_EQ(r.surfaceShaders[0][0].size(), 1u);
  const HostShaderHandler* handler = r.surfaceShaders[0][0][0].handler;
  EXPECT_EQ(handler->rend.init, nullptr);
  EXPECT_EQ(handler->rend.newTime, nullptr);
  EXPECT_EQ(handler->rend.cleanup, nullptr);
}

TEST(ModuleActivation, EachMissingServiceGivesItsCodeAndIsTriedAgain) {
  const struct {
    const char* service;
    int code;
  } cases[] = {
      {HOST_ITEM_INFO_NAME, 10},  {HOST_OBJECT_INFO_NAME, 11},       {HOST_BONE_INFO_NAME, 12},
      {HOST_LIGHT_INFO_NAME, 13}, {HOST_CAMERA_INFO_NAME, 14},       {HOST_IMAGE_LIST_NAME, 15},
      {HOST_INFO_MESSAGES_NAME, 17}, {HOST_DIRECTORY_INFO_NAME, 18}, {HOST_SURFACE_FUNCTIONS_NAME, 19},
  };
  for (const auto& c : cases) {
    FreshHost h;
    h.env.withoutService(c.service);
    h.load();
    EXPECT_EQ(h.activateShader(), c.code) << c.service;
    // Once the host serves it, the next activation acquires everything.
    h.env.withService(c.service);
    EXPECT_EQ(h.activateMaster(), HOST_AFUNC_OK) << c.service;
  }
}

TEST(ModuleActivation, FirstMissingServiceInPriorityOrderWins) {
  FreshHost h;
  h.env.withoutService(HOST_SURFACE_FUNCTIONS_NAME);
  h.env.withoutService(HOST_CAMERA_INFO_NAME);
  h.env.withoutService(HOST_OBJECT_INFO_NAME);
  h.load();
  EXPECT_EQ(h.activateShader(), 11);
}

TEST(ModuleActivation, MissingOptionalServicesDoNotFail) {
  FreshHost h;
  for (const char* s : {HOST_FILE_REQUEST_NAME, HOST_COLOR_PICKER_NAME, HOST_LIGHT_INFO_3_NAME, HOST_SCENE_OBJECTS_NAME})
    h.env.withoutService(s);
  h.load();
  EXPECT_EQ(h.activateShader(), HOST_AFUNC_OK);
}

TEST(ModuleActivation, ServicesAreAskedForFromTheHighestVersionDown) {
  FreshHost h;
  h.env.withoutService("Info Messages 3");
  h.env.withoutService("Info Messages 2");
  h.load();
  h.env.clearRequests();
  EXPECT_EQ(h.activateShader(), HOST_AFUNC_OK);
  std::vector<std::string> asked;
  for (const auto& r : h.env.requests())
    if (r.name.rfind(HOST_INFO_MESSAGES_NAME, 0) == 0) asked.push_back(r.name);
  ASSERT_GE(asked.size(), 3u);
  EXPECT_EQ(asked[0], "Info Messages 3");
  EXPECT_EQ(asked[1], "Info Messages 2");
  EXPECT_EQ(asked[2], "Info Messages");
}

}  // namespace
}  // namespace orvik::host
