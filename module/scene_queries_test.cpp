#include "module/scene_queries.h"

#include <gtest/gtest.h>

#include <cstring>

#include "module/host_services.h"
#include "module/testing_fake_host.h"

namespace orvik {
namespace {

using testing::FakeHost;
using testing::FakeItem;
using testing::idOf;

class SceneQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    resetHostServices();
    ASSERT_EQ(acquireServices(FakeHost::global(), 4), HOST_AFUNC_OK);
  }
  void TearDown() override { resetHostServices(); }
  FakeHost host;
};

TEST_F(SceneQueries, PrintableNamesOfEveryKindOfItem) {
  FakeItem *torso = host.add(HOST_ITEM_OBJECT, "Torso");
  FakeItem *arm = host.add(HOST_ITEM_OBJECT, "Arm");
  host.add(HOST_ITEM_BONE, "Spine", torso);
  FakeItem *bone01 = host.add(HOST_ITEM_BONE, "Bone.01", arm);
  FakeItem *elbow = host.add(HOST_ITEM_BONE, "Elbow", arm);
  FakeItem *orphan = host.add(HOST_ITEM_BONE, "Loose", nullptr);
  FakeItem *light = host.add(HOST_ITEM_LIGHT, "Key Light");
  FakeItem *odd = host.add(7, "Whatever");

  EXPECT_STREQ(itemName(nullptr), "(none)");
  EXPECT_STREQ(itemName(idOf(light)), "Key Light");
  EXPECT_STREQ(itemName(idOf(bone01)), "Bone.01 of Arm");
  EXPECT_STREQ(itemName(idOf(elbow)), "Bone \"Elbow\" of Arm");
  EXPECT_STREQ(itemName(idOf(orphan)), "Mystery Bone Loose");
  EXPECT_STREQ(itemName(idOf(odd)), "LW Mystery Item");
  EXPECT_EQ(boneOwner(idOf(elbow)), idOf(arm));
  EXPECT_EQ(boneOwner(nullptr), nullptr);
}

TEST(NameIndex, ReadsAndRemovesTrailingInstanceNumbers) {
  const struct {
    const char *in;
    long number;
    const char *out;
  } cases[] = {
      {"Light (3)  ", 3, "Light"},
      {"Light", 0, "Light"},
      {"Light  ", 0, "Light"},
      {"Light(12)", 12, "Light"},
      {"", 0, ""},
      {"(", 0, "("},
      {"()", 0, "()"},
      {")", 0, ")"},
      {"(7)", 7, ""},
      {"Light 3)", 0, "Light 3)"},
      {"Light (x3)", 0, "Light (x3)"},
      {"Light (99999999999999999999999999)", LONG_MAX, "Light"},
  };
  for (const auto &c : cases) {
    std::string text = c.in;
    EXPECT_EQ(nameIndex(text), c.number) << '"' << c.in << '"';
    EXPECT_EQ(text, c.out) << '"' << c.in << '"';
  }
}

TEST(NameIndex, InPlaceFormStaysInsideTheText) {
  // Exactly sized heap copies, so that a read past the end is caught by
  // the address sanitizer.
  for (const char *in : {"", "(", "()", "9)", "Cube (2)", "Cube (2)   "}) {
    const size_t n = std::strlen(in) + 1;
    auto text = std::make_unique<char[]>(n);
    std::memcpy(text.get(), in, n);
    nameIndex(text.get());
    EXPECT_LT(std::strlen(text.get()), n);
  }
  std::string huge(4096, 'a');
  huge += " (4)";
  EXPECT_EQ(nameIndex(huge), 4);
  EXPECT_EQ(huge.size(), 4096u);
}

TEST(NameMatching, BaseNameAndInstanceNumbers) {
  EXPECT_TRUE(nameMatches("Cube (2)", "Cube"));
  EXPECT_TRUE(nameMatches("Cube", "Cube"));
  EXPECT_TRUE(nameMatches("Cube(2)", "Cube"));
  EXPECT_FALSE(nameMatches("Cubes", "Cube"));
  EXPECT_FALSE(nameMatches("Cube Big", "Cube"));
  EXPECT_FALSE(nameMatches("Cub", "Cube"));
  EXPECT_FALSE(nameMatches("Cube (2", "Cube"));
  EXPECT_TRUE(nameMatches("", ""));
  EXPECT_FALSE(nameMatches("(", ""));
}

TEST_F(SceneQueries, SavedReferencesFindTheirItemAgain) {
  host.add(HOST_ITEM_LIGHT, "Light");
  FakeItem *second = host.add(HOST_ITEM_LIGHT, "Light (2)");
  host.add(HOST_ITEM_LIGHT, "Lights");
  host.add(HOST_ITEM_OBJECT, "Light");

  const ItemReference ref = describeItem(idOf(second));
  EXPECT_EQ(ref.baseName, "Light");
  EXPECT_EQ(ref.type, HOST_ITEM_LIGHT);
  EXPECT_EQ(ref.index, 2);
  EXPECT_EQ(ref.count, 2);
  EXPECT_EQ(findItem("Light", HOST_ITEM_LIGHT, nullptr, ref.index, ref.count), idOf(second));

  // A light of the same name added since saving is taken to come first.
  FakeItem *third = host.add(HOST_ITEM_LIGHT, "Light (3)");
  EXPECT_EQ(findItem("Light", HOST_ITEM_LIGHT, nullptr, 2, 2), idOf(third));
}

TEST_F(SceneQueries, FindingSurvivesOddNamesAndReferences) {
  FakeItem *cube = host.add(HOST_ITEM_OBJECT, "Cube");
  FakeItem *cube2 = host.add(HOST_ITEM_OBJECT, "Cube (2)");
  EXPECT_EQ(findItem("Cube.lwo", HOST_ITEM_OBJECT, nullptr, 1, 2), idOf(cube));
  EXPECT_EQ(findItem(".lwo", HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem("", HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem(nullptr, HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem("(", HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem("()", HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem(std::string(4096, 'x').c_str(), HOST_ITEM_OBJECT, nullptr, 1, 1), nullptr);
  EXPECT_EQ(findItem("Cube", HOST_ITEM_LIGHT, nullptr, 1, 1), nullptr);
  // Index beyond the saved count, or below 1: a damaged reference still
  // resolves to an existing item.
  EXPECT_EQ(findItem("Cube", HOST_ITEM_OBJECT, nullptr, 9, 2), idOf(cube));
  EXPECT_EQ(findItem("Cube", HOST_ITEM_OBJECT, nullptr, -5, 2), idOf(cube));
  EXPECT_EQ(findItem("Cube", HOST_ITEM_OBJECT, nullptr, 1, 5), idOf(cube));
  EXPECT_EQ(findItem("Cube", HOST_ITEM_OBJECT, nullptr, 2, 2), idOf(cube2));
}

TEST_F(SceneQueries, BonesAreFoundUnderTheirOwner) {
  FakeItem *left = host.add(HOST_ITEM_OBJECT, "Left");
  FakeItem *right = host.add(HOST_ITEM_OBJECT, "Right");
  host.add(HOST_ITEM_BONE, "Bone", left);
  FakeItem *rightBone = host.add(HOST_ITEM_BONE, "Bone", right);
  HostItemId owner = nullptr;
  long index = 0, count = 0;
  EXPECT_EQ(describeItem(idOf(rightBone), &owner, &index, &count), "Bone");
  EXPECT_EQ(owner, idOf(right));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(findItem("Bone", HOST_ITEM_BONE, idOf(right), 1, 1), idOf(rightBone));
}

TEST(EscapeText, EscapesBreaksAndBlanks) {
  EXPECT_EQ(escapeText("a b\nc\rd"), "a%20b%0ac%0dd");
  EXPECT_EQ(escapeText(""), "");
  char out[8];
  // Never past the end, never half an escape.
  EXPECT_EQ(escapeText("ab  cd", out, sizeof out), 5u);
  EXPECT_STREQ(out, "ab%20");
  EXPECT_EQ(escapeText("abcdefghijk", out, sizeof out), 7u);
  EXPECT_STREQ(out, "abcdefg");
  EXPECT_EQ(escapeText(nullptr, out, sizeof out), 0u);
  EXPECT_STREQ(out, "");
}

}  // namespace
}  // namespace orvik
