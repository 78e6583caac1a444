#include "module/activation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "module/host_services.h"
#include "module/registry.h"
#include "module/testing_fake_host.h"

namespace orvik {
namespace {

using testing::FakeHost;

class Activation : public ::testing::Test {
 protected:
  void SetUp() override { resetHostServices(); }
  void TearDown() override { resetHostServices(); }
  FakeHost host;
};

TEST_F(Activation, HostVersionsThreeAndFourAreAccepted) {
  for (int version : {3, 4}) {
    resetHostServices();
    HostShaderHandler shader{};
    EXPECT_EQ(activateShaderHandler(version, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
    EXPECT_NE(shader.evaluate, nullptr);
    HostMasterHandler master{};
    EXPECT_EQ(activateMasterHandler(version, FakeHost::global(), &master, nullptr), HOST_AFUNC_OK);
    HostPixelFilterHandler filter{};
    EXPECT_EQ(activatePixelFilterHandler(version, FakeHost::global(), &filter, nullptr),
              HOST_AFUNC_OK);
  }
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(Activation, OldHostIsToldWhyAndRefused) {
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(2, FakeHost::global(), &shader, nullptr), HOST_AFUNC_BADVERSION);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "This plugin requires LW version 6.0 or later");
  EXPECT_EQ(shader.evaluate, nullptr);
  HostMasterHandler master{};
  EXPECT_EQ(activateMasterHandler(2, FakeHost::global(), &master, nullptr), HOST_AFUNC_BADVERSION);
  HostPixelFilterHandler filter{};
  EXPECT_EQ(activatePixelFilterHandler(2, FakeHost::global(), &filter, nullptr),
            HOST_AFUNC_BADVERSION);
  EXPECT_EQ(host.errors.size(), 3u);
}

TEST_F(Activation, OldHostWithoutMessagesIsRefusedSilently) {
  host.switchOff(HOST_INFO_MESSAGES_NAME);
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(2, FakeHost::global(), &shader, nullptr), HOST_AFUNC_BADVERSION);
}

TEST_F(Activation, NewerHostIsRefusedSilently) {
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(5, FakeHost::global(), &shader, nullptr), HOST_AFUNC_BADVERSION);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(host.requests.empty()) << "nothing is asked of a host that is too new";
}

TEST_F(Activation, NullGlobalFunctionFails) {
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(4, nullptr, &shader, nullptr), HOST_AFUNC_BADGLOBAL);
}

TEST_F(Activation, ModelerShaderRegistersButShadesNothing) {
  host.systemId = HOST_SYSTEM_MODELER | 0x1234u;
  HostShaderHandler shader{};
  ASSERT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_EQ(shader.rend.init, nullptr);
  EXPECT_EQ(shader.rend.cleanup, nullptr);
  EXPECT_EQ(shader.rend.newTime, nullptr);
  ASSERT_NE(shader.evaluate, nullptr);
  EXPECT_EQ(shader.flags(nullptr), 0x43Eu);

  HostShaderAccess sample{};
  sample.color[0] = 0.25;
  sample.luminous = 0.5;
  sample.flags = 77;
  HostShaderAccess before = sample;
  shader.evaluate(nullptr, &sample);
  EXPECT_EQ(std::memcmp(&before, &sample, sizeof sample), 0);

  HostError error = nullptr;
  HostInstance inst = shader.inst.create(nullptr, nullptr, &error);
  ASSERT_NE(inst, nullptr);
  EXPECT_STREQ(shader.inst.descln(inst), "Orvik: Inactive in Modeler");
  shader.inst.destroy(inst);

  HostMasterHandler master{};
  EXPECT_EQ(activateMasterHandler(4, FakeHost::global(), &master, nullptr), HOST_AFUNC_BADAPP);
  EXPECT_EQ(master.event, nullptr);
}

TEST_F(Activation, ModelerRunsWithWhateverServicesItFinds) {
  host.systemId = HOST_SYSTEM_MODELER;
  host.switchOff(HOST_ITEM_INFO_NAME);
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
}

TEST_F(Activation, LayoutHandlerRecordsAreFilled) {
  HostShaderHandler shader{};
  ASSERT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_NE(shader.rend.init, nullptr);
  EXPECT_NE(shader.rend.newTime, nullptr);
  EXPECT_NE(shader.inst.load, nullptr);

  HostMasterHandler master{};
  master.type = 99;
  ASSERT_EQ(activateMasterHandler(4, FakeHost::global(), &master, nullptr), HOST_AFUNC_OK);
  EXPECT_EQ(master.type, HOST_MASTER_SCENE);
  EXPECT_EQ(master.flags(nullptr), 0u);
  EXPECT_NE(master.event, nullptr);

  HostPixelFilterHandler filter{};
  ASSERT_EQ(activatePixelFilterHandler(4, FakeHost::global(), &filter, nullptr), HOST_AFUNC_OK);
  EXPECT_EQ(filter.flags(nullptr), 0x20000023u);
  EXPECT_EQ(filter.inst.load, nullptr);
  EXPECT_EQ(filter.inst.save, nullptr);
  EXPECT_EQ(filter.item.useItems, nullptr);
  EXPECT_EQ(filter.inst.copy(nullptr, nullptr), nullptr);
}

// Each required service, switched off alone, gives its own code; the table
// is acquired again at the next activation once the host offers it.
TEST_F(Activation, EachMissingRequiredServiceHasItsCode) {
  const struct {
    const char *name;
    int code;
  } required[] = {
      {HOST_ITEM_INFO_NAME, 10},  {HOST_OBJECT_INFO_NAME, 11}, {HOST_BONE_INFO_NAME, 12},
      {HOST_LIGHT_INFO_NAME, 13}, {HOST_CAMERA_INFO_NAME, 14}, {HOST_IMAGE_LIST_NAME, 15},
      {HOST_INFO_MESSAGES_NAME, 17}, {HOST_DIRECTORY_INFO_NAME, 18},
      {HOST_SURFACE_FUNCTIONS_NAME, 19},
  };
  for (const auto &r : required) {
    SCOPED_TRACE(r.name);
    resetHostServices();
    FakeHost local;
    local.switchOff(r.name);
    HostShaderHandler shader{};
    EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), r.code);
    EXPECT_FALSE(hostServices().acquired());
    EXPECT_EQ(shader.evaluate, nullptr) << "no handler record for a failed activation";

    local.offer(r.name, 2);
    EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
    EXPECT_TRUE(hostServices().acquired());
  }
}

TEST_F(Activation, FirstMissingServiceInPriorityOrderWins) {
  host.switchOff(HOST_SURFACE_FUNCTIONS_NAME);
  host.switchOff(HOST_INFO_MESSAGES_NAME);
  host.switchOff(HOST_CAMERA_INFO_NAME);
  host.switchOff(HOST_BONE_INFO_NAME);
  HostPixelFilterHandler filter{};
  EXPECT_EQ(activatePixelFilterHandler(4, FakeHost::global(), &filter, nullptr), 12);
  host.offer(HOST_BONE_INFO_NAME, 1);
  EXPECT_EQ(activatePixelFilterHandler(4, FakeHost::global(), &filter, nullptr), 14);
  host.offer(HOST_CAMERA_INFO_NAME, 1);
  EXPECT_EQ(activatePixelFilterHandler(4, FakeHost::global(), &filter, nullptr), 17);
  host.offer(HOST_INFO_MESSAGES_NAME, 1);
  EXPECT_EQ(activatePixelFilterHandler(4, FakeHost::global(), &filter, nullptr), 19);
}

TEST_F(Activation, OptionalServicesMayBeMissing) {
  host.switchOff(HOST_FILE_REQUEST_NAME);
  host.switchOff(HOST_COLOR_PICKER_NAME);
  host.switchOff(HOST_SCENE_OBJECTS_NAME);
  host.switchOff(HOST_LIGHT_INFO_3_NAME);
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_TRUE(hostServices().acquired());
  EXPECT_EQ(hostServices().colorPicker, nullptr);
}

TEST_F(Activation, MissingBackdropSucceedsButIsAskedForAgain) {
  host.switchOff(HOST_BACKDROP_INFO_NAME);
  HostShaderHandler shader{};
  EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_FALSE(hostServices().acquired());
  host.offer(HOST_BACKDROP_INFO_NAME, 2);
  host.requests.clear();
  EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_TRUE(hostServices().acquired());
  EXPECT_FALSE(host.requests.empty());
  // Once acquired, nothing is asked again.
  host.requests.clear();
  EXPECT_EQ(activateShaderHandler(4, FakeHost::global(), &shader, nullptr), HOST_AFUNC_OK);
  EXPECT_TRUE(host.requests.empty());
}

TEST_F(Activation, SurfaceInterfaceAddsMasterAndPixelFilterFirst) {
  HostInterfaceRecord record{};
  EXPECT_EQ(activateShaderInterface(4, FakeHost::global(), &record, nullptr), HOST_AFUNC_OK);
  ASSERT_EQ(host.commands.size(), 2u);
  EXPECT_EQ(host.commands[0], "ApplyServer MasterHandler Orvik");
  EXPECT_EQ(host.commands[1], "ApplyServer PixelFilterHandler Orvik");

  // Without the command service the commands are skipped, not an error.
  host.switchOff(HOST_COMMAND_INTERFACE_NAME);
  host.commands.clear();
  EXPECT_EQ(activateShaderInterface(4, FakeHost::global(), &record, nullptr), HOST_AFUNC_OK);
  EXPECT_TRUE(host.commands.empty());
}

TEST_F(Activation, SurfaceInterfaceDoesNothingInModeler) {
  host.systemId = HOST_SYSTEM_MODELER;
  HostInterfaceRecord record{};
  EXPECT_EQ(activateShaderInterface(4, FakeHost::global(), &record, nullptr), HOST_AFUNC_OK);
  EXPECT_TRUE(host.commands.empty());
}

TEST_F(Activation, PixelFilterInterfaceAddsTheMaster) {
  EXPECT_EQ(activatePixelFilterInterface(4, FakeHost::global(), nullptr, nullptr), HOST_AFUNC_OK);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0], "ApplyServer MasterHandler Orvik");
}

TEST_F(Activation, CommandsIgnoreTheVersionAndSucceed) {
  for (auto activate : {activateAddPreview, activateAddToObjects, activateAddToAll,
                        activateRemoveFromObjects, activateOpenMaster, activateRender,
                        activateHidePreviews, activateHideAll}) {
    HostLayoutGeneric generic{};
    EXPECT_EQ(activate(99, FakeHost::global(), &generic, nullptr), HOST_AFUNC_OK);
    EXPECT_EQ(activate(1, nullptr, &generic, nullptr), HOST_AFUNC_OK);
  }
}

TEST_F(Activation, NoBufferAcceptsEverythingAndKeepsNothing) {
  HostFrameBufferHandler fb{};
  ASSERT_EQ(activateNoBuffer(99, nullptr, &fb, nullptr), HOST_AFUNC_OK);
  EXPECT_EQ(fb.type, 1);
  HostError error = "untouched";
  HostInstance inst = fb.inst.create(nullptr, nullptr, &error);
  EXPECT_EQ(inst, reinterpret_cast<HostInstance>(uintptr_t{0x12345678}));
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(fb.open(inst, 640, 480), 0);
  EXPECT_EQ(fb.begin(inst), 0);
  const float line[4] = {1, 2, 3, 4};
  EXPECT_EQ(fb.write(inst, line, line, line, line), 0);
  EXPECT_EQ(fb.inst.copy(inst, inst), nullptr);
  fb.pause(inst);
  fb.close(inst);
  fb.inst.destroy(inst);
}

}  // namespace
}  // namespace orvik
