#include "panels/image_control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "panels/button_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/list_control.h"
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

// The user's actions inside the modal Select Image panel, and its result.
void (*g_inDialog)(ImageSelectDialog*) = nullptr;
int g_result = 0;

int ScriptedModal(Panel* panel, Panel*) {
  auto* d = static_cast<ImageSelectDialog*>(panel->panelData);
  if (g_inDialog != nullptr) g_inDialog(d);
  return g_result == 0 ? panel->result.get() : g_result;
}

class SelectImageTest : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    stone = host.AddImage("stone", "/maps/stone.png");
    host.InstallImageIteration();
    WindowBackend backend;
    backend.openModal = ScriptedModal;
    SetWindowBackend(backend);
    g_inDialog = nullptr;
    g_result = 0;
    panel = CreatePanel("P", nullptr, 0);
    control = AddImageControl("IMG", 0, 0, panel);
  }
  void TearDown() override {
    DestroyPanel(panel);
    SetWindowBackend(WindowBackend{});
    ImageTest::TearDown();
  }
  testing::FakeImage* stone = nullptr;
  Panel* panel = nullptr;
  ImageControl* control = nullptr;
};

TEST_F(SelectImageTest, ListsEveryImageWithTheCurrentOnePreselected) {
  control->image = stone;
  ImageSelectDialog* d = BuildImageSelectDialog(control);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->panel->title, "Select Image");
  ASSERT_EQ(d->list->rowCount, 2);
  EXPECT_EQ(d->list->rows[1], "stone");
  EXPECT_TRUE(d->list->selected[1]);
  EXPECT_STREQ(d->loadButton->caption, "Load from disk");
  EXPECT_EQ(ImageSelectResult(d), stone);
  DestroyImageSelectDialog(d);
}

TEST_F(SelectImageTest, AcceptTakesTheSelectedRowAndCancelChangesNothing) {
  g_inDialog = [](ImageSelectDialog* d) {
    d->list->windowSelected[0] = 1;
    ListSelectionChanged(d->list, 0);
  };
  ClickButton(control->imageButton, 0);
  EXPECT_EQ(control->image.get(), wood);
  EXPECT_STREQ(control->imageButton->caption, "wood");
  g_inDialog = [](ImageSelectDialog* d) {
    d->list->windowSelected[1] = 1;
    ListSelectionChanged(d->list, 0);
  };
  g_result = 1;
  ClickButton(control->imageButton, 0);
  EXPECT_EQ(control->image.get(), wood);
}

TEST_F(SelectImageTest, LoadFromDiskTakesTheLoadedImageOrSaysItIsNoImage) {
  host.chosenFile = "/maps/stone.png";
  g_inDialog = [](ImageSelectDialog* d) { EXPECT_TRUE(LoadImageFromDisk(d)); };
  ClickButton(control->imageButton, 0);
  EXPECT_EQ(control->image.get(), stone);

  host.chosenFile = "/maps/readme.txt";
  g_inDialog = [](ImageSelectDialog* d) { EXPECT_FALSE(LoadImageFromDisk(d)); };
  g_result = 1;  // the user then cancels
  ClickButton(control->imageButton, 0);
  EXPECT_EQ(host.lastError, "This doesn't appear to be a valid image. Perhaps it's a");
  EXPECT_EQ(control->image.get(), stone);
}

}  // namespace
}  // namespace orvik
