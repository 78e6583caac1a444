// Behaviour of the small control kinds: buttons, colours, strings, choices.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/panel.h"
#include "panels/string_control.h"

namespace orvik {
namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Install();
    panel = CreatePanel("P", nullptr, 0);
    hookCalls = 0;
  }
  void TearDown() override { DestroyPanel(panel); }
  static void CountHook(Control*) { ++hookCalls; }
  testing::FakeHost host;
  Panel* panel = nullptr;
  static int hookCalls;
};
int ControlsTest::hookCalls = 0;

TEST_F(ControlsTest, CheckButtonTogglesBothBitsAndReports) {
  ButtonControl* pin = AddCheckButton("PIN", 0, 0, panel);
  EXPECT_EQ(pin->width, 20);
  EXPECT_EQ(pin->height, 17);
  pin->valueHook = CountHook;
  ClickButton(pin, 0);
  EXPECT_EQ(pin->state.get(), kButtonHighlighted | kButtonChecked);
  EXPECT_TRUE(IsButtonOn(pin));
  EXPECT_EQ(pin->pendingChange.get(), 1);
  ClickButton(pin, 0);
  EXPECT_EQ(pin->state.get(), 0);
  EXPECT_EQ(hookCalls, 2);

  // A toggle with a caption flips only its highlight.
  ButtonControl* tab = AddButtonControl("TABB", 0, 0, panel);
  tab->toggle = 1;
  std::strcpy(tab->caption, "Edges");
  ClickButton(tab, 0);
  EXPECT_EQ(tab->state.get(), kButtonHighlighted);
}

TEST_F(ControlsTest, ClickHookSeesTheModifiers) {
  static int seen = -1;
  ButtonControl* b = AddButtonControl("GO", 0, 0, panel);
  b->clickHook = [](Control* c) { seen = AsButton(c)->clickModifiers; };
  ClickButton(b, kKeyStateShift);
  EXPECT_EQ(seen, kClickShift);
  ClickButton(b, kKeyStateShift | kKeyStateControl);
  EXPECT_EQ(seen, kClickShift | kClickCtrl);
  ClickButton(b, 0);
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(b->state.get(), 0);  // a push button keeps no state
  b->hidden = 1;
  seen = -1;
  ClickButton(b, 0);
  EXPECT_EQ(seen, -1);  // a hidden control handles nothing
}

TEST_F(ControlsTest, ColourPickerResultIsLimitedScaledAndRounded) {
  EXPECT_EQ(ColorFractionToComponent(1.2), 255);
  EXPECT_EQ(ColorFractionToComponent(0.5), 128);
  EXPECT_EQ(ColorFractionToComponent(-0.3), 0);
  EXPECT_EQ(ColorFractionToComponent(1.0 / 255.0 * 7.49), 7);

  ColorControl* tint = AddColorControl("TINT", 0, 0, panel);
  tint->valueHook = CountHook;
  tint->red = 255;
  host.pickerColor[0] = 1.2;
  host.pickerColor[1] = 0.5;
  host.pickerColor[2] = 0.0;
  EXPECT_TRUE(ChooseColor(tint));
  EXPECT_EQ(tint->red.get(), 255);
  EXPECT_EQ(tint->green.get(), 128);
  EXPECT_EQ(tint->blue.get(), 0);
  EXPECT_EQ(hookCalls, 1);

  // A cancelled picker changes nothing; the choose button reaches the picker.
  host.pickerResult = 0;
  host.pickerColor[1] = 0.0;
  ClickButton(tint->chooseButton, 0);
  EXPECT_EQ(tint->green.get(), 128);
  host.pickerResult = 1;
  ClickButton(tint->chooseButton, 0);
  EXPECT_EQ(tint->green.get(), 0);
}

TEST_F(ControlsTest, StringEntriesAreCutToTheirLimits) {
  StringControl* s = AddStringControl("NOTE", 0, 0, panel);
  s->valueHook = CountHook;
  s->hasWindow = 1;
  std::string longText(400, 'a');
  SetStringText(s, longText.c_str());
  EXPECT_EQ(std::strlen(s->text), 255u);
  EXPECT_EQ(std::strlen(s->editText), 255u);
  // Tab or Enter takes at most 253 characters, and reports even without change.
  CommitStringEntry(s);
  EXPECT_EQ(std::strlen(s->text), 253u);
  CommitStringEntry(s);
  EXPECT_EQ(hookCalls, 2);
  // Closing the windows keeps the typed text, up to 255, unless ghosted.
  std::memset(s->editText, 'b', 255);
  KeepStringEditText(s);
  EXPECT_EQ(std::string(s->text), std::string(255, 'b'));
  s->ghosted = 1;
  std::strcpy(s->editText, "ignored");
  KeepStringEditText(s);
  EXPECT_EQ(s->text[0], 'b');
}

TEST_F(ControlsTest, CycleChoiceWrapsBothWays) {
  ChoiceControl* c = AddChoiceControl("MODE", 0, 0, panel);
  const char* labels[] = {"Off", "Soft", "Hard"};
  SetChoiceLabels(c, labels, 3);
  c->cycle = 1;
  c->valueHook = CountHook;
  c->selection = 2;
  CycleChoice(c, false);
  EXPECT_EQ(c->selection.get(), 0);
  EXPECT_STREQ(c->cycleCaption, "Off");
  c->selection = 2;
  CycleChoice(c, true);
  EXPECT_EQ(c->selection.get(), 1);
  c->selection = 0;
  CycleChoice(c, true);
  EXPECT_EQ(c->selection.get(), 2);
  EXPECT_EQ(hookCalls, 3);
  EXPECT_EQ(CycleChoiceIndex(5, 0, false), 0);
}

TEST_F(ControlsTest, ChoiceLabelsAndSelectionsStayInBounds) {
  ChoiceControl* c = AddChoiceControl("MODE", 0, 0, panel);
  std::string longLabel(100, 'L');
  const char* labels[] = {"A", longLabel.c_str()};
  SetChoiceLabels(c, labels, 2);
  EXPECT_EQ(std::strlen(c->labels[1]), 63u);
  EXPECT_FALSE(SelectChoice(c, 2));
  EXPECT_FALSE(SelectChoice(c, -1));
  EXPECT_TRUE(SelectChoice(c, 1));
  const char* one[] = {"Only"};
  SetChoiceLabels(c, one, 1);
  EXPECT_EQ(c->selection.get(), 0);
  std::string many[100];
  const char* manyLabels[100];
  for (int i = 0; i < 100; ++i) manyLabels[i] = (many[i] = "x" + std::to_string(i)).c_str();
  EXPECT_EQ(SetChoiceLabels(c, manyLabels, 100), ChoiceControl::kMaxChoices);
}

}  // namespace
}  // namespace orvik
