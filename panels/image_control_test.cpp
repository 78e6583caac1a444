#include "panels/image_control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "panels/fake_toolkit_host.h"
#include "panels/panel.h"

namespace orvik {
namespace {

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Install();
    ResetSkipAllMissingImages();
    wood = host.AddImage("wood", "/maps/wood.png");
  }
  void TearDown() override { ResetSkipAllMissingImages(); }
  testing::FakeHost host;
  testing::FakeImage* wood = nullptr;
};

TEST_F(ImageTest, FoundByNameThenByFileThenNothing) {
  EXPECT_EQ(FindOrLoadImage("wood", "/elsewhere.png", true), wood);
  EXPECT_EQ(FindOrLoadImage("renamed", "/maps/wood.png", true), wood);
  EXPECT_EQ(FindOrLoadImage("", "", true), nullptr);
  EXPECT_EQ(FindOrLoadImage(nullptr, nullptr, true), nullptr);
  EXPECT_EQ(host.questionsAsked, 0);
}

TEST_F(ImageTest, MissingFilesAskOnceEachUntilCancel) {
  host.answers = {kAnswerNo, kAnswerCancel};
  EXPECT_EQ(FindOrLoadImage("a", "/no/such/a.png", true), nullptr);
  EXPECT_EQ(host.lastQuestion, "I can't find the image file /no/such/a.png.");
  EXPECT_FALSE(SkipAllMissingImages());
  EXPECT_EQ(FindOrLoadImage("b", "/no/such/b.png", true), nullptr);
  EXPECT_TRUE(SkipAllMissingImages());
  EXPECT_EQ(FindOrLoadImage("c", "/no/such/c.png", true), nullptr);
  EXPECT_EQ(FindOrLoadImage("d", "/no/such/d.png", true), nullptr);
  EXPECT_EQ(host.questionsAsked, 2);
  // Without asking nothing is shown at all.
  ResetSkipAllMissingImages();
  EXPECT_EQ(FindOrLoadImage("e", "/no/such/e.png", false), nullptr);
  EXPECT_EQ(host.questionsAsked, 2);
}

TEST_F(ImageTest, YesLoadsTheFileTheUserFinds) {
  host.answers = {kAnswerYes};
  host.chosenFile = "/maps/wood.png";
  EXPECT_EQ(FindOrLoadImage("lost", "/no/such/lost.png", true), wood);
}

TEST_F(ImageTest, ExistingButUnloadableFileSaysSo) {
  std::string path = ::testing::TempDir() + "orvik_not_an_image.xyz";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not an image", f);
  std::fclose(f);
  EXPECT_EQ(FindOrLoadImage("x", path.c_str(), true), nullptr);
  EXPECT_EQ(host.errorsShown, 1);
  EXPECT_EQ(host.lastError, "I found the image file " + path + ", but was unable to load it.");
  EXPECT_EQ(host.questionsAsked, 0);
  std::remove(path.c_str());
}

TEST_F(ImageTest, ControlShowsNameOrNone) {
  Panel* p = CreatePanel("P", nullptr, 0);
  ImageControl* c = AddImageControl("IMG", 0, 0, p);
  EXPECT_STREQ(ImageButtonText(c), "(none)");
  SetImageChoice(c, wood);
  EXPECT_STREQ(ImageButtonText(c), "wood");
  EXPECT_EQ(c->pendingChange.get(), 1);
  DestroyPanel(p);
}

}  // namespace
}  // namespace orvik
