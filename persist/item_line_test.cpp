#include "persist/item_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "persist/memory_stream.h"
#include "persist/record_operations.h"
#include "persist/test_scene.h"

namespace orvik {
namespace {

std::string Written(const ItemReference& ref, const char* indent = " ") {
  MemoryWriter writer(1024);
  long bytes = WriteItemLine(writer.state(), indent, ref);
  std::string text(writer.bytes().begin(), writer.bytes().end());
  size_t lines = 0;
  for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(static_cast<size_t>(bytes), text.size() - lines);  // chars + 1 per line
  return text;
}

TEST(ItemLine, BonesAreWrittenAsParentAndBoneLinesAtOneIndent) {
  testing::ScopedScene scene;
  auto* arm = scene->Add("Arm", kItemObject);
  scene->Add("Arm (2)", kItemObject);
  auto* other = scene->Add("Arm (2)", kItemObject);
  auto* elbow = scene->Add("Elbow", kItemBone, arm);
  scene->Add("Elbow", kItemBone, other);  // same name, another owner: not counted

  ItemReference ref;
  ASSERT_TRUE(DescribeItemReference(elbow, ref));
  EXPECT_EQ(Written(ref), " PARENT 1 3 3 @Arm\r\n BONE 1 1 5 @Elbow\r\n");

  auto* orphan = scene->Add("Loose", kItemBone);
  ASSERT_TRUE(DescribeItemReference(orphan, ref));
  EXPECT_EQ(Written(ref), " BONE 1 1 5 @Loose\r\n");
}

TEST(ParseItemLine, TypesByPrefixNumbersForcedIntoRange) {
  ItemName n;
  EXPECT_EQ(ParseItemLine("OBJECT 0 0 4 @Cube", n), 5);
  EXPECT_EQ(n.type, kItemObject);
  EXPECT_EQ(n.cloneIndex, 1);
  EXPECT_EQ(n.count, 1);
  EXPECT_STREQ(n.name, "Cube");

  EXPECT_GT(ParseItemLine("LIGHTS 9000 40000 5 @Light", n), 0);
  EXPECT_EQ(n.type, kItemLight);
  EXPECT_EQ(n.cloneIndex, 4096);
  EXPECT_EQ(n.count, 1);  // 40000 read as a 16-bit number is negative
  EXPECT_GT(ParseItemLine("PARENTS 70000 32767 2 @Ab", n), 0);
  EXPECT_EQ(n.type, kItemBone);
  EXPECT_EQ(n.cloneIndex, 4096);  // 70000 keeps its low 16 bits: 4464
  EXPECT_EQ(n.count, 32766);
  EXPECT_GT(ParseItemLine("BONE 2 2 2 @Ab", n), 0);
  EXPECT_EQ(n.type, kItemBone);
  EXPECT_GT(ParseItemLine("CAMERA 2 2 2 @Ab", n), 0);
  EXPECT_EQ(n.type, kItemCamera);
  EXPECT_GT(ParseItemLine("WHATEVER 2 2 2 @Ab", n), 0);
  EXPECT_EQ(n.type, kItemObject);
}

TEST(ParseItemLine, NameIsCutToCountPresentCharactersAndSlot) {
  ItemName n;
  EXPECT_EQ(ParseItemLine("OBJECT 1 1 2 @Cube", n), 3);
  EXPECT_STREQ(n.name, "Cu");
  EXPECT_EQ(ParseItemLine("OBJECT 1 1 40 @Two Words", n), 10);
  EXPECT_STREQ(n.name, "Two Words");
  std::string line = "OBJECT 1 1 999 @" + std::string(300, 'n');
  EXPECT_EQ(ParseItemLine(line.c_str(), n), 256);
  char slot[8];
  long clone = 0, count = 0;
  int type = -1;
  EXPECT_EQ(ParseItemLine("LIGHT 3 4 9 @Spotlight", slot, sizeof slot, &clone, &count, &type), 8);
  EXPECT_STREQ(slot, "Spotlig");
  EXPECT_EQ(clone, 3);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(type, kItemLight);
}

TEST(ParseItemLine, RefusedLinesStoreNothing) {
  ItemName n;
  std::strcpy(n.name, "kept");
  for (const char* line : {"", "OBJECT", "OBJECT 1 1", "OBJECT 1 1 4", "OBJECT 1 1 4 Cube"}) {
    EXPECT_EQ(ParseItemLine(line, n), 0) << line;
  }
  EXPECT_EQ(ParseItemLine(nullptr, n), 0);
  EXPECT_STREQ(n.name, "kept");
}

}  // namespace
}  // namespace orvik
