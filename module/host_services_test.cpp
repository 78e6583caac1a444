#include "module/host_services.h"

#include <gtest/gtest.h>

#include "module/random_tables.h"
#include "module/testing_fake_host.h"

namespace orvik {
namespace {

using testing::FakeHost;

class Services : public ::testing::Test {
 protected:
  void SetUp() override { resetHostServices(); }
  void TearDown() override { resetHostServices(); }
  FakeHost host;
};

TEST_F(Services, VersionedNamesAreTriedFromTheHighestDown) {
  host.switchOff(HOST_INFO_MESSAGES_NAME);
  int version = -1;
  EXPECT_EQ(acquireService(FakeHost::global(), HOST_INFO_MESSAGES_NAME, 3, &version), nullptr);
  EXPECT_EQ(version, 0);
  const std::vector<std::string> expected = {"Info Messages 3", "Info Messages 2",
                                             "Info Messages"};
  EXPECT_EQ(host.requests, expected);
}

TEST_F(Services, TheFirstVersionFoundIsTaken) {
  host.offer(HOST_INFO_MESSAGES_NAME, 2);
  int version = 0;
  void *service = acquireService(FakeHost::global(), HOST_INFO_MESSAGES_NAME, 3, &version);
  EXPECT_NE(service, nullptr);
  EXPECT_EQ(version, 2);
  EXPECT_EQ(host.requests.back(), "Info Messages 2");

  host.offer(HOST_INFO_MESSAGES_NAME, 1);
  service = acquireService(FakeHost::global(), HOST_INFO_MESSAGES_NAME, 3, &version);
  EXPECT_NE(service, nullptr);
  EXPECT_EQ(version, 1);
  EXPECT_EQ(acquireService(nullptr, HOST_INFO_MESSAGES_NAME, 3, &version), nullptr);
  EXPECT_EQ(version, 0);
}

TEST_F(Services, TableKeepsTheVersionsFound) {
  host.offer(HOST_ITEM_INFO_NAME, 2);
  ASSERT_EQ(acquireServices(FakeHost::global(), 4), HOST_AFUNC_OK);
  const HostServices &s = hostServices();
  EXPECT_EQ(s.itemInfoVersion, 2);
  EXPECT_NE(s.itemInfo2(), nullptr);
  EXPECT_EQ(s.itemInfo3(), nullptr) << "a version-2 record must not be read as version 3";
  EXPECT_EQ(s.messagesVersion, 3);
  EXPECT_EQ(s.objectInfoVersion, 4);
  EXPECT_NE(s.lightInfo3, nullptr);
}

TEST_F(Services, UnbelievableProductVersionsFallBackToSixPointFive) {
  const struct {
    uint32_t product;
    int major, minor, build;
  } cases[] = {
      {HOST_PRODUCT_MAKE(4, 2, 600), 6, 5, 508},
      {HOST_PRODUCT_MAKE(7, 0, 399), 6, 5, 508},
      {0, 6, 5, 508},
      {HOST_PRODUCT_MAKE(7, 5, 400), 7, 5, 400},
      {HOST_PRODUCT_MAKE(5, 6, 547), 5, 6, 547},
  };
  for (const auto &c : cases) {
    host.productInfo = c.product;
    readHostFacts(FakeHost::global());
    EXPECT_EQ(hostServices().versionMajor, c.major) << std::hex << c.product;
    EXPECT_EQ(hostServices().versionMinor, c.minor) << std::hex << c.product;
    EXPECT_EQ(hostServices().versionBuild, c.build) << std::hex << c.product;
  }
  host.productInfo = HOST_PRODUCT_MAKE(6, 5, 508);
  readHostFacts(FakeHost::global());
  EXPECT_FALSE(hostServices().replacementOutput());
  host.productInfo = HOST_PRODUCT_MAKE(7, 0, 500);
  readHostFacts(FakeHost::global());
  EXPECT_TRUE(hostServices().replacementOutput());
}

TEST_F(Services, HostKindComesFromTheTopBitsOfTheSystemId) {
  host.systemId = HOST_SYSTEM_RENDER_NODE | 0x0ABCDEFu;
  readHostFacts(FakeHost::global());
  EXPECT_TRUE(hostServices().inRenderNode);
  EXPECT_FALSE(hostServices().inModeler);
  host.systemId = HOST_SYSTEM_MODELER | 0x0FFFFFFFu;
  readHostFacts(FakeHost::global());
  EXPECT_TRUE(hostServices().inModeler);
  host.systemId = 0x0FFFFFFFu;
  readHostFacts(FakeHost::global());
  EXPECT_EQ(hostServices().kind, HostKind::Layout);
}

TEST(RandomTables, PermutationAndInverseAgree) {
  ASSERT_TRUE(buildRandomTables());
  const uint16_t *p = randomPermutation();
  const uint16_t *inv = randomPermutationInverse();
  ASSERT_NE(p, nullptr);
  ASSERT_NE(inv, nullptr);
  std::vector<bool> seen(kRandomTableSize, false);
  int fixedPoints = 0;
  for (int i = 0; i < kRandomTableSize; ++i) {
    ASSERT_FALSE(seen[p[i]]) << "value " << p[i] << " appears twice";
    seen[p[i]] = true;
    ASSERT_EQ(inv[p[i]], i);
    fixedPoints += p[i] == i;
  }
  // A shuffled table keeps few values in place (about one expected).
  EXPECT_LT(fixedPoints, 10);
}

}  // namespace
}  // namespace orvik
