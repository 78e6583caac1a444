#include "persist/cut_paste.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/cut_paste_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "panels/item_list_control.h"
#include "persist/clip_store.h"
#include "persist/instance_settings.h"
#include "persist/memory_stream.h"
#include "persist/settings_block.h"
#include "persist/settings_file.h"
#include "persist/test_scene.h"

namespace orvik {
namespace {

struct Instance {
  Panel* panel = nullptr;
  ~Instance() { DestroyPanel(panel); }
};

class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallSettingsHooks();
    ClearClipStore();
    ClearMemorySlot();
    ResetSharedSettingsFileName();
  }
  void TearDown() override {
    ClearClipStore();
    ClearMemorySlot();
  }
  testing::ScopedScene scene;
};

// Panel with an edge pair covering EDGE and EDGECOLOR, and a LUMINOUS after it.
CutPasteControl* BuildEdgePanel(Instance& instance, const char* blockName = "Orvik") {
  Panel* p = CreatePanel(blockName, &instance, 0);
  instance.panel = p;
  p->settingsVersion = 1.5;
  CutPasteControl* pair = AddCutPastePair("EDGEPAIR", 0, 0, p);
  BeginCutPasteRange(pair);
  AddNumericControl("EDGE", 0, 0, p);
  AddColorControl("EDGECOLOR", 0, 0, p);
  EndCutPasteRange(pair);
  AddNumericControl("LUMINOUS", 0, 0, p);
  // The window layer's "P_S" and "P_L" decorations.
  for (const char* key : {"P_S", "P_L"}) {
    auto* b = new ButtonControl;
    InitControlRecord(b, kKindButton, key);
    b->owner = p;
    b->clickHook = std::string(key) == "P_S" ? p->onSaveSettingsClick : p->onLoadSettingsClick;
    p->decorations.push_back(b);
  }
  return pair;
}

NumericControl* Numeric(Instance& instance, const char* key) {
  return AsNumeric(FindControl(instance.panel, key));
}

ButtonControl* Decoration(Instance& instance, const char* key) {
  for (Control* d : instance.panel->decorations) {
    if (d->key.Equals(key)) return AsButton(d);
  }
  return nullptr;
}

TEST_F(Transfer, CopyWritesOnlyTheRangesAndPasteLoadsThemElsewhere) {
  Instance a, b;
  CutPasteControl* pairA = BuildEdgePanel(a);
  CutPasteControl* pairB = BuildEdgePanel(b);
  Numeric(a, "EDGE")->value = 0.75;
  AsColor(FindControl(a.panel, "EDGECOLOR"))->red = 40;
  Numeric(a, "LUMINOUS")->value = 0.9;

  ClickButton(pairA->cutButton, 0);
  EXPECT_TRUE(pairA->pasteButton->highlighted());
  std::vector<char> clip;
  ASSERT_TRUE(CopyClip("EDGEPAIR", clip));
  std::string text(clip.begin(), clip.end());
  EXPECT_EQ(text.rfind("BEGIN MORVANE_PLUGIN CUTPASTE\r\nVERSION 1.5\r\nBEGIN NUM EDGE\r\nVALUE 0.75\r\n",
                       0),
            0u);
  EXPECT_EQ(text.find("LUMINOUS"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 29), "END MORVANE_PLUGIN CUTPASTE\r\n");

  int replaced = 0;
  b.panel->panelData = &replaced;
  b.panel->onSettingsReplaced = [](Panel* p) { ++*static_cast<int*>(p->panelData); };
  ClickButton(pairB->pasteButton, 0);
  EXPECT_DOUBLE_EQ(Numeric(b, "EDGE")->value.get(), 0.75);
  EXPECT_EQ(AsColor(FindControl(b.panel, "EDGECOLOR"))->red.get(), 40);
  EXPECT_DOUBLE_EQ(Numeric(b, "LUMINOUS")->value.get(), 0.5);
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(b.panel->loadPending.get(), 0);  // the after-load work ran
  EXPECT_TRUE(scene->errors.empty());
}

TEST_F(Transfer, PasteIntoAPanelLackingSomeKeysLoadsTheOthers) {
  Instance a, b;
  CutPasteControl* pairA = BuildEdgePanel(a);
  Numeric(a, "EDGE")->value = 0.25;
  AsColor(FindControl(a.panel, "EDGECOLOR"))->blue = 77;
  ClickButton(pairA->cutButton, 0);

  b.panel = CreatePanel("Other", &b, 0);
  CutPasteControl* pairB = AddCutPastePair("EDGEPAIR", 0, 0, b.panel);
  AddColorControl("EDGECOLOR", 0, 0, b.panel);
  ClickButton(pairB->pasteButton, 0);
  EXPECT_EQ(AsColor(FindControl(b.panel, "EDGECOLOR"))->blue.get(), 77);
  EXPECT_TRUE(scene->errors.empty());
}

TEST_F(Transfer, CopyOfAnEmptyRangeStoresOnlyTheFrameAndPastingChangesNothing) {
  Instance a;
  Panel* p = CreatePanel("Orvik", &a, 0);
  a.panel = p;
  CutPasteControl* pair = AddCutPastePair("EMPTY", 0, 0, p);
  AddNumericControl("LUMINOUS", 0, 0, p)->value = 0.2;
  ClickButton(pair->cutButton, 0);
  std::vector<char> clip;
  ASSERT_TRUE(CopyClip("EMPTY", clip));
  EXPECT_EQ(std::string(clip.begin(), clip.end()),
            "BEGIN MORVANE_PLUGIN CUTPASTE\r\nVERSION 1\r\nEND MORVANE_PLUGIN CUTPASTE\r\n");
  ClickButton(pair->pasteButton, 0);
  EXPECT_DOUBLE_EQ(Numeric(a, "LUMINOUS")->value.get(), 0.2);
  EXPECT_TRUE(scene->errors.empty());
}

TEST_F(Transfer, ShiftPasteDeletesTheClipAndUnlightsTheButton) {
  Instance a;
  CutPasteControl* pair = BuildEdgePanel(a);
  ClickButton(pair->cutButton, 0);
  ClickButton(pair->cutButton, 0);  // a second copy replaces the first
  ASSERT_TRUE(HasClip("EDGEPAIR"));
  Numeric(a, "EDGE")->value = 0.1;
  ClickButton(pair->pasteButton, kKeyStateShift);
  EXPECT_FALSE(HasClip("EDGEPAIR"));
  EXPECT_FALSE(pair->pasteButton->highlighted());
  ClickButton(pair->pasteButton, 0);  // nothing to paste
  EXPECT_DOUBLE_EQ(Numeric(a, "EDGE")->value.get(), 0.1);
}

TEST_F(Transfer, AClipTooLargeForItsBufferIsRefusedNotStoredCut) {
  Instance a;
  Panel* p = CreatePanel("Orvik", &a, 0);
  a.panel = p;
  CutPasteControl* pair = AddCutPastePair("BIG", 0, 0, p);
  BeginCutPasteRange(pair);
  std::string text(250, 'x');
  char key[16];
  for (int i = 0; i < 250; ++i) {
    std::snprintf(key, sizeof key, "S%d", i);
    SetStringText(AddStringControl(key, 0, 0, p), text.c_str());
  }
  EndCutPasteRange(pair);
  StoreClip("BIG", "x", 1);  // an earlier, smaller copy
  SetButtonHighlight(pair->pasteButton, true);
  ClickButton(pair->cutButton, 0);
  EXPECT_FALSE(HasClip("BIG"));
  EXPECT_FALSE(pair->pasteButton->highlighted());
  ASSERT_EQ(scene->errors.size(), 1u);
  EXPECT_EQ(scene->errors[0].first, kMsgClipTooLarge);
}

TEST_F(Transfer, ShiftOnSaveFillsThenEmptiesTheMemorySlot) {
  Instance a, master;
  BuildEdgePanel(a);
  BuildEdgePanel(master, "Orvik");
  Numeric(a, "LUMINOUS")->value = 0.66;

  ClickButton(Decoration(a, "P_S"), kKeyStateShift);
  EXPECT_TRUE(MemorySlotHolds("Orvik"));
  EXPECT_TRUE(Decoration(a, "P_L")->highlighted());

  // Any panel of the same block name loads the slot with Shift on "P_L".
  ClickButton(Decoration(master, "P_L"), kKeyStateShift);
  EXPECT_DOUBLE_EQ(Numeric(master, "LUMINOUS")->value.get(), 0.66);
  EXPECT_TRUE(MemorySlotHolds("Orvik"));  // loading keeps the slot

  ClickButton(Decoration(a, "P_S"), kKeyStateShift);
  EXPECT_FALSE(MemorySlotHolds("Orvik"));
  EXPECT_FALSE(Decoration(a, "P_L")->highlighted());
  EXPECT_TRUE(scene->requestTitles.empty());  // no file requester on the way
}

TEST_F(Transfer, ShiftOnLoadWithoutAMatchingSlotAsksForAFile) {
  Instance a, other;
  BuildEdgePanel(a);
  BuildEdgePanel(other, "I");
  ClickButton(Decoration(other, "P_S"), kKeyStateShift);
  ClickButton(Decoration(a, "P_L"), kKeyStateShift);
  ASSERT_EQ(scene->requestTitles.size(), 1u);
  EXPECT_EQ(scene->requestTitles[0], kLoadRequestTitle);
}

TEST_F(Transfer, SettingsFilesRoundTripThroughTheFileRequester) {
  Instance a, b;
  BuildEdgePanel(a);
  BuildEdgePanel(b);
  Numeric(a, "LUMINOUS")->value = 0.125;
  Numeric(a, "EDGE")->value = 3;

  std::string path = ::testing::TempDir() + "orvik_settings_" + std::to_string(getpid()) + ".txt";
  scene->requestAnswer = path;
  ClickButton(Decoration(a, "P_S"), 0);
  ClickButton(Decoration(b, "P_L"), 0);
  EXPECT_DOUBLE_EQ(Numeric(b, "LUMINOUS")->value.get(), 0.125);
  EXPECT_DOUBLE_EQ(Numeric(b, "EDGE")->value.get(), 3.0);
  ASSERT_EQ(scene->requestTitles.size(), 2u);
  EXPECT_EQ(scene->requestTitles[0], kSaveRequestTitle);
  EXPECT_EQ(scene->requestNames[0], ">*.*");
  EXPECT_EQ(scene->requestNames[1], "<*.*");  // the marks do not pile up

  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char head[32] = {};
  ASSERT_EQ(std::fread(head, 1, 28, f), 28u);
  std::fclose(f);
  EXPECT_STREQ(head, "BEGIN MORVANE_PLUGIN Orvik\r\n");
  std::remove(path.c_str());
  EXPECT_TRUE(scene->errors.empty());
}

TEST_F(Transfer, FileFailuresAreShownNotSwallowed) {
  Instance a;
  BuildEdgePanel(a);
  scene->requestAnswer = "/nonexistent-dir/settings.txt";
  ClickButton(Decoration(a, "P_S"), 0);
  ClickButton(Decoration(a, "P_L"), 0);
  ASSERT_EQ(scene->errors.size(), 2u);
  EXPECT_EQ(scene->errors[0].first, kMsgCannotWriteFile);
  EXPECT_EQ(scene->errors[1].first, kMsgCannotReadFile);
  EXPECT_EQ(scene->errors[1].second, "/nonexistent-dir/settings.txt");

  // A cancelled requester does nothing at all.
  scene->errors.clear();
  scene->requestAnswer.clear();
  ClickButton(Decoration(a, "P_L"), 0);
  EXPECT_TRUE(scene->errors.empty());
}

TEST_F(Transfer, ABrokenFileShowsTheMessageWithItsLineAndKeepsEarlierValues) {
  Instance a;
  BuildEdgePanel(a);
  std::string path = ::testing::TempDir() + "orvik_broken_" + std::to_string(getpid()) + ".txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BEGIN MORVANE_PLUGIN Orvik\r\nBEGIN NUM LUMINOUS\r\nVALUE 0.4\r\nEND\r\nBEGIN X\r\n", f);
  std::fclose(f);
  scene->requestAnswer = path;
  ClickButton(Decoration(a, "P_L"), 0);
  std::remove(path.c_str());
  EXPECT_DOUBLE_EQ(Numeric(a, "LUMINOUS")->value.get(), 0.4);
  ASSERT_EQ(scene->errors.size(), 1u);
  EXPECT_EQ(scene->errors[0].first, kMsgBadTokenG);
  EXPECT_EQ(scene->errors[0].second, "Line 6: BEGIN X");
}

TEST_F(Transfer, CopyBeforeTheAfterLoadWorkKeepsTheNamesJustRead) {
  Instance a;
  Panel* p = CreatePanel("Orvik", &a, 0);
  a.panel = p;
  CutPasteControl* pair = AddCutPastePair("REFS", 0, 0, p);
  BeginCutPasteRange(pair);
  AddNumericControl("FOLLOW", 0, 0, p);
  AddItemControl("ITEMS", 0, 0, p);
  EndCutPasteRange(pair);
  std::string text =
      "BEGIN MORVANE_PLUGIN Orvik\nBEGIN NUM FOLLOW\nANIMATE XPOS\nREF1ITEM\n"
      "OBJECT 1 1 4 @Cube\nEND\nBEGIN ITEM ITEMS\nPARENT 1 1 3 @Arm\nBONE 2 2 5 @Elbow\n"
      "END\nEND MORVANE_PLUGIN Orvik\n";
  MemoryReader reader(text.c_str(), text.size() + 1);
  ASSERT_EQ(LoadPanelSettings(p, reader.state()), nullptr);  // names still pending
  ClickButton(pair->cutButton, 0);
  std::vector<char> clip;
  ASSERT_TRUE(CopyClip("REFS", clip));
  std::string written(clip.begin(), clip.end());
  EXPECT_NE(written.find(" REF1ITEM\r\nOBJECT 1 1 4 @Cube\r\n"), std::string::npos);
  EXPECT_NE(written.find("PARENT 1 1 3 @Arm\r\nBONE 2 2 5 @Elbow\r\n"), std::string::npos);
}

TEST_F(Transfer, PanelThreadsCopyAndPasteUnderOneKeyAtOnce) {
  // Each panel runs on a thread of its own; the clip store is shared.
  auto work = [](double value) {
    Instance instance;
    CutPasteControl* pair = BuildEdgePanel(instance);
    for (int i = 0; i < 200; ++i) {
      Numeric(instance, "EDGE")->value = value;
      ClickButton(pair->cutButton, 0);
      ClickButton(pair->pasteButton, 0);
      double got = Numeric(instance, "EDGE")->value.get();
      EXPECT_TRUE(got == 0.25 || got == 0.75) << got;
      if (i % 50 == 0) ClickButton(pair->pasteButton, kKeyStateShift);
    }
  };
  std::thread first(work, 0.25);
  std::thread second(work, 0.75);
  first.join();
  second.join();
  EXPECT_TRUE(scene->errors.empty());
}

}  // namespace
}  // namespace orvik
