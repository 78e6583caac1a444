// Loads the built module as the host does and checks what it publishes.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "module/testing_fake_host.h"
#include "sdk/orvik_sdk.h"

namespace orvik {
namespace {

class LoadedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    handle = dlopen(ORVIK_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    descriptor =
        static_cast<const HostModuleDescriptor *>(dlsym(handle, HOST_MODULE_DESCRIPTOR_SYMBOL));
    ASSERT_NE(descriptor, nullptr);
  }
  void TearDown() override {
    if (handle) dlclose(handle);
  }
  void *handle = nullptr;
  const HostModuleDescriptor *descriptor = nullptr;
};

TEST_F(LoadedModule, DescriptorListsFifteenServers) {
  EXPECT_EQ(descriptor->sync, 0x04121994u);
  EXPECT_EQ(descriptor->systemVersion, 3);
  EXPECT_EQ(descriptor->machine, 0x300u);
  ASSERT_NE(descriptor->startup, nullptr);
  void *serverData = descriptor->startup();
  EXPECT_EQ(serverData, reinterpret_cast<void *>(uintptr_t{4}));

  const struct {
    const char *className, *name, *userName;
  } expected[] = {
      {"ShaderHandler", "Orvik", nullptr},
      {"ShaderInterface", "Orvik", nullptr},
      {"MasterHandler", "Orvik", nullptr},
      {"MasterInterface", "Orvik", nullptr},
      {"PixelFilterHandler", "Orvik", nullptr},
      {"PixelFilterInterface", "Orvik", nullptr},
      {"LayoutGeneric", "Orvik_Add_Preview", "Orvik:Add Preview"},
      {"LayoutGeneric", "Orvik_Add_To_Objects", "Orvik:Add to Objects"},
      {"LayoutGeneric", "Orvik_Add_To_All", "Orvik:Add to All"},
      {"LayoutGeneric", "Orvik_Remove_From_Objects", "Orvik:Remove From Objects"},
      {"LayoutGeneric", "Orvik_Open_Master", "Orvik:Open Master"},
      {"LayoutGeneric", "Orvik_Render", "Orvik:Render Previews"},
      {"LayoutGeneric", "Orvik_Hide_Previews", "Orvik:Hide Previews"},
      {"LayoutGeneric", "Orvik_Hide_All", "Orvik:(Un)Hide"},
      {"FrameBufferHandler", "no_buffer", "No display or warning"},
  };
  int count = 0;
  for (const HostServerRecord *s = descriptor->servers; s->className; ++s, ++count) {
    ASSERT_LT(count, 15) << "more than fifteen servers";
    SCOPED_TRACE(s->name);
    EXPECT_STREQ(s->className, expected[count].className);
    EXPECT_STREQ(s->name, expected[count].name);
    EXPECT_NE(s->activate, nullptr);
    if (expected[count].userName) {
      ASSERT_NE(s->tags, nullptr);
      EXPECT_STREQ(s->tags[0].string, expected[count].userName);
      EXPECT_EQ(s->tags[0].tag, 0x409u);
      EXPECT_EQ(s->tags[1].string, nullptr);
    } else {
      EXPECT_EQ(s->tags, nullptr);
    }
  }
  EXPECT_EQ(count, 15);
  descriptor->shutdown(serverData);
}

TEST_F(LoadedModule, ShaderActivatesThroughTheLoadedModule) {
  testing::FakeHost host;
  const HostServerRecord &shader = descriptor->servers[0];
  HostShaderHandler handler{};
  EXPECT_EQ(shader.activate(4, testing::FakeHost::global(), &handler, descriptor->startup()),
            HOST_AFUNC_OK);
  ASSERT_NE(handler.inst.create, nullptr);
  HostError error = nullptr;
  HostInstance inst = handler.inst.create(nullptr, nullptr, &error);
  ASSERT_NE(inst, nullptr) << (error ? error : "");
  HostShaderAccess sample{};
  handler.evaluate(inst, &sample);
  handler.inst.destroy(inst);
}

}  // namespace
}  // namespace orvik
