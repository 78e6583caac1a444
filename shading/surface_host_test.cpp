// Surface instances against a host: the scene membership of a surface, the
// render options of the scene, the Modeler, and the host's messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "module/host_services.h"
#include "module/registry.h"
#include "panels/image_control.h"
#include "panels/string_control.h"
#include "panels/toolkit_host.h"
#include "sdk/orvik_sdk.h"
#include "shading/surface_handler.h"
#include "shading/surface_instance.h"
#include "shading/shadow_transmission.h"
#include "shading/surface_lifecycle.h"

namespace orvik {
namespace {

// A surface whose object is in the scene, one that is not, one with an empty name.
HostSurfaceId const kSurfaceOnObject = reinterpret_cast<HostSurfaceId>(0x100);
HostSurfaceId const kSurfaceOffScene = reinterpret_cast<HostSurfaceId>(0x200);
HostSurfaceId const kSurfaceEmptyName = reinterpret_cast<HostSurfaceId>(0x300);

const char* sceneObject(HostSurfaceId s) {
  if (s == kSurfaceOnObject) return "Objects\\Head.lwo";
  if (s == kSurfaceEmptyName) return "";
  return nullptr;
}

struct FakeHost {
  uint32_t systemId = HOST_SYSTEM_LAYOUT;
  HostSurfaceFuncs1 surfaces{};
  HostSceneInfo scene{};
  HostCompositingInfo compositing{};
  HostMessageFuncs1 messages{};
  HostGlobalMemory memory{}, renderMemory{};
  std::vector<std::string> errors;
  // Services the tests do not look into: any non-null record serves.
  alignas(16) unsigned char blank[4096] = {};
};
FakeHost* gHost = nullptr;

void* fakeGlobal(const char* name, int /*useFlags*/) {
  FakeHost& h = *gHost;
  auto is = [name](const char* base) { return std::strncmp(name, base, std::strlen(base)) == 0; };
  if (is(HOST_SYSTEM_ID_NAME)) return reinterpret_cast<void*>(static_cast<uintptr_t>(h.systemId));
  if (is(HOST_PRODUCT_INFO_NAME))
    return reinterpret_cast<void*>(static_cast<uintptr_t>(HOST_PRODUCT_MAKE(7, 5, 600)));
  if (is(HOST_SURFACE_FUNCTIONS_NAME)) return &h.surfaces;
  if (is(HOST_SCENE_INFO_NAME)) return &h.scene;
  if (is(HOST_COMPOSITING_INFO_NAME)) return &h.compositing;
  if (is(HOST_INFO_MESSAGES_NAME)) return &h.messages;
  if (is(HOST_GLOBAL_RENDER_MEMORY_NAME)) return &h.renderMemory;
  if (is(HOST_GLOBAL_MEMORY_NAME)) return &h.memory;
  return h.blank;
}

class SurfaceHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.surfaces.sceneObject = sceneObject;
    host_.scene.renderOpts = HOST_ROPT_REFLECTTRACE | HOST_ROPT_SHADOWTRACE;
    host_.messages.error = [](const char* a, const char* b) {
      gHost->errors.push_back(std::string(a) + "|" + b);
    };
    gHost = &host_;
    resetHostServices();
  }
  void TearDown() override {
    for (SurfaceInstance* s : made_) destroySurfaceInstance(s);
    resetHostServices();
    SetToolkitHost(ToolkitHost{});
    gHost = nullptr;
  }
  void acquire(uint32_t systemId) {
    host_.systemId = systemId;
    resetHostServices();
    ASSERT_EQ(acquireServices(fakeGlobal, 4), HOST_AFUNC_OK);
  }
  SurfaceInstance* make(HostSurfaceId surface) {
    ::HostError error = nullptr;
    auto* s = static_cast<SurfaceInstance*>(surfaceHandlerCreate(nullptr, surface, &error));
    EXPECT_NE(s, nullptr);
    made_.push_back(s);
    return s;
  }
  FakeHost host_;
  std::vector<SurfaceInstance*> made_;
};

TEST_F(SurfaceHostTest, InSceneWhenTheHostNamesAnObjectForTheSurface) {
  acquire(HOST_SYSTEM_LAYOUT);
  SurfaceInstance* on = make(kSurfaceOnObject);
  SurfaceInstance* off = make(kSurfaceOffScene);
  SurfaceInstance* empty = make(kSurfaceEmptyName);
  EXPECT_EQ(on->runtime.inScene.get(), 1);
  EXPECT_EQ(off->runtime.inScene.get(), 0);
  EXPECT_EQ(empty->runtime.inScene.get(), 0);
  // All three are listed all the same.
  EXPECT_EQ(firstSurfaceInstance(), empty);
  EXPECT_EQ(on->runtime.surfaceId.get(), reinterpret_cast<uintptr_t>(kSurfaceOnObject));
}

TEST_F(SurfaceHostTest, NewTimeCopiesTheScenesRenderOptions) {
  acquire(HOST_SYSTEM_LAYOUT);
  SurfaceInstance* s = make(kSurfaceOnObject);
  EXPECT_EQ(s->runtime.renderOptions.get() & kRenderOptionRayTraceReflection, kRenderOptionRayTraceReflection);
  EXPECT_EQ(s->runtime.renderOptions.get() & kRenderOptionRayTraceRefraction, 0);
  EXPECT_EQ(s->runtime.sceneInfo, &host_.scene);
  EXPECT_EQ(s->runtime.compositing, &host_.compositing);
  host_.scene.renderOpts = HOST_ROPT_REFRACTTRACE;
  surfaceHandlerNewTime(s, 3, 0.1);
  EXPECT_EQ(s->runtime.renderOptions.get(), kRenderOptionRayTraceRefraction);
}

TEST_F(SurfaceHostTest, ModelerInstancesAreNotListedAndDescribeThemselvesInactive) {
  acquire(HOST_SYSTEM_MODELER);
  SurfaceInstance* s = make(kSurfaceOnObject);
  EXPECT_EQ(firstSurfaceInstance(), nullptr);
  EXPECT_EQ(s->runtime.inScene.get(), 0);
  SetStringText(AsString(s->control("COMMENT")), "skin");
  EXPECT_STREQ(surfaceHandlerDescription(s), "Orvik: Inactive in Modeler");
  HostShaderHandler record{};
  installSurfaceCallbacks(&record, hostServices().inModeler);
  EXPECT_EQ(record.rend.newTime, nullptr);
}

TEST_F(SurfaceHostTest, AnArtImageTheHostNoLongerKnowsIsDropped) {
  acquire(HOST_SYSTEM_LAYOUT);
  ToolkitHost toolkit;
  toolkit.imageKnown = [](ImageHandle image) { return image == reinterpret_cast<ImageHandle>(0x77) ? 1 : 0; };
  SetToolkitHost(toolkit);
  SurfaceInstance* s = make(kSurfaceOnObject);
  ImageControl* art = AsImage(s->control("ART_IMNAME"));
  art->image = reinterpret_cast<ImageHandle>(0x77);
  surfaceHandlerNewTime(s, 1, 0.0);
  EXPECT_EQ(art->image.get(), reinterpret_cast<ImageHandle>(0x77));
  art->image = reinterpret_cast<ImageHandle>(0x78);
  surfaceHandlerNewTime(s, 2, 0.0);
  EXPECT_EQ(art->image.get(), nullptr);
}

// The shared light block of a frame is the one in the host's render memory, where the
// pixel filter finds or creates it; a block of the same name in the plain global memory
// is someone else's.
unsigned char gRenderBlock[2048];
unsigned char gOtherBlock[2048];

TEST_F(SurfaceHostTest, SharedLightBlockIsTheOneInRenderMemory) {
  host_.renderMemory.find = [](const char* name) -> void* {
    return std::strcmp(name, kSharedLightBlockName) == 0 ? gRenderBlock : nullptr;
  };
  host_.renderMemory.size = [](const char*) -> size_t { return sizeof gRenderBlock; };
  host_.memory.find = [](const char*) -> void* { return gOtherBlock; };
  host_.memory.size = [](const char*) -> size_t { return sizeof gOtherBlock; };
  acquire(HOST_SYSTEM_LAYOUT);
  refreshSharedLightBlock();
  EXPECT_EQ(sharedLightBlock().data, gRenderBlock);
  EXPECT_EQ(sharedLightBlock().size, sizeof gRenderBlock);

  // Nothing published: no block, not the other one.
  host_.renderMemory.find = [](const char*) -> void* { return nullptr; };
  refreshSharedLightBlock();
  EXPECT_EQ(sharedLightBlock().data, nullptr);
  EXPECT_EQ(sharedLightBlock().size, 0u);
  setSharedLightBlock({});
}

}  // namespace
}  // namespace orvik
