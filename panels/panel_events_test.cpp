#include "panels/panel_events.h"

#include <gtest/gtest.h>

#include <cstring>

#include "panels/button_control.h"
#include "panels/numeric_control.h"
#include "panels/platform/headless/headless_backend.h"

namespace orvik {
namespace {

void Place(Control* c, int left, int top, int right, int bottom) {
  c->left = left;
  c->top = top;
  c->right = right;
  c->bottom = bottom;
}

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallHeadlessBackend();
    panel = CreatePanel("P", nullptr, 0);
    OpenHeadlessWindow(panel);
  }
  void TearDown() override {
    CloseHeadlessWindow(panel);
    DestroyPanel(panel);
    SetWindowBackend(WindowBackend{});
  }
  Panel* panel = nullptr;
};

TEST_F(EventsTest, PressInsideAButtonClicksItWithItsModifiers) {
  static int clicks = 0;
  static int modifiers = -1;
  clicks = 0;
  ButtonControl* b = AddButtonControl("GO", 10, 10, panel);
  b->clickHook = [](Control* c) {
    ++clicks;
    modifiers = AsButton(c)->clickModifiers;
  };
  Place(b, 10, 10, 70, 27);
  EXPECT_EQ(DispatchPanelMessage(panel, kMsgLeftButtonDown, kKeyStateControl, PackPointer(20, 15)), kEventHandled);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(modifiers, kClickCtrl);
  EXPECT_EQ(DispatchPanelMessage(panel, kMsgLeftButtonDown, 0, PackPointer(70, 15)), 0);  // right edge
  b->hidden = 1;
  EXPECT_EQ(DispatchPanelMessage(panel, kMsgLeftButtonDown, 0, PackPointer(20, 15)), 0);
  b->hidden = 0;
  b->ghosted = 1;
  DispatchPanelMessage(panel, kMsgLeftButtonDown, 0, PackPointer(20, 15));
  EXPECT_EQ(clicks, 1);
}

TEST_F(EventsTest, SubButtonsAndBackgroundClicks) {
  static int background = 0;
  background = 0;
  NumericControl* n = AddNumericControl("N", 0, 0, panel);
  n->advancedButton->clickHook = [](Control* c) { MakeNumberFixed(AsNumeric(c->parentControl)); };
  n->animateMode = kAnimateLinear;
  Place(n->advancedButton, 100, 0, 117, 17);
  panel->onBackgroundClick = [](Panel*, int x, int y) { background = x * 1000 + y; };
  panel->backgroundRight = 640;
  panel->backgroundBottom = 480;

  DispatchPanelMessage(panel, kMsgLeftButtonDown, kKeyStateShift, PackPointer(105, 5));
  EXPECT_EQ(n->animateMode.get(), kAnimateFixed);
  EXPECT_EQ(background, 0);
  DispatchPanelMessage(panel, kMsgLeftButtonDown, 0, PackPointer(300, 200));
  EXPECT_EQ(background, 300200);
  EXPECT_EQ(panel->message.code, kMsgLeftButtonDown);
  background = 0;
  panel->ghosted = 1;
  DispatchPanelMessage(panel, kMsgLeftButtonDown, 0, PackPointer(300, 200));
  EXPECT_EQ(background, 0);
}

TEST_F(EventsTest, PointerHalvesAreSigned) {
  intptr_t packed = PackPointer(-5, 300);
  EXPECT_EQ(MessageX(packed), -5);
  EXPECT_EQ(MessageY(packed), 300);
}

TEST_F(EventsTest, ValueChangesPostTheChangeMessage) {
  NumericControl* n = AddNumericControl("N", 0, 0, panel);
  n->hasWindow = 1;
  std::strcpy(n->editText, "75");
  CommitNumberEntry(n);
  auto posted = TakePostedMessages(panel);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].code, kMessageValueChanged);
  CloseHeadlessWindow(panel);  // without a window nothing is posted
  std::strcpy(n->editText, "10");
  CommitNumberEntry(n);
  EXPECT_TRUE(TakePostedMessages(panel).empty());
  OpenHeadlessWindow(panel);
}

}  // namespace
}  // namespace orvik
