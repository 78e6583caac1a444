#include "panels/advanced_definition.h"

#include <gtest/gtest.h>

#include <string>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/graph_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"

namespace orvik {
namespace {

// What the user does in the modal dialog before it closes, and its result.
void (*g_userActions)(AdvancedDialog*) = nullptr;
int g_dialogResult = 0;
int g_dialogsOpened = 0;

int ScriptedModal(Panel* panel, Panel*) {
  ++g_dialogsOpened;
  if (g_userActions != nullptr) g_userActions(static_cast<AdvancedDialog*>(panel->panelData));
  return g_dialogResult;
}

class AdvancedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Install();
    host.firstFrame = 0;
    host.lastFrame = 2;
    ball = host.AddItem("Ball", kItemObject);
    ball->position[0] = 2.0;
    WindowBackend backend;
    backend.openModal = ScriptedModal;
    SetWindowBackend(backend);
    g_userActions = nullptr;
    g_dialogResult = 0;
    g_dialogsOpened = 0;
    panel = CreatePanel("P", nullptr, 0);
    n = AddNumericControl("SPEC1", 0, 0, panel);
    CopyText(n->label, "Specular");
  }
  void TearDown() override {
    DestroyPanel(panel);
    SetWindowBackend(WindowBackend{});
  }
  void ClickA(unsigned keyState = 0) { ClickButton(n->advancedButton, keyState); }
  testing::FakeHost host;
  testing::FakeItem* ball = nullptr;
  Panel* panel = nullptr;
  NumericControl* n = nullptr;
};

TEST_F(AdvancedTest, DialogIsBuiltForTheControl) {
  n->clampHigh = 1;
  n->maximum = 2.0;
  AdvancedDialog* d = BuildAdvancedDialog(n);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->panel->title, "Advanced Definition of  \"Specular\"");
  EXPECT_STREQ(d->panel->blockName, "I");
  EXPECT_EQ(d->mode->choiceCount, kAnimateModeCount);
  EXPECT_STREQ(d->mode->labels[10], "Linear Change Over Time");
  EXPECT_EQ(d->lowClip, nullptr);
  ASSERT_NE(d->highClip, nullptr);
  EXPECT_STREQ(d->highClip->text, "Value is clipped to a high limit of 2.000.");
  EXPECT_EQ(d->graph->percentY, 1);
  // Frames 0 to 2 still preview 20 samples.
  EXPECT_EQ(d->graph->pointCount, 20);
  EXPECT_STREQ(d->summary->text, "From Frame 0 to 250 the value ranges from 0.500 to 0.500, average: 0.500.");
  // Mode 0 shows the base value only.
  EXPECT_FALSE(d->baseValue->hidden.get());
  EXPECT_TRUE(d->perFrame->hidden.get());
  EXPECT_TRUE(d->object1->hidden.get());
  DestroyAdvancedDialog(d);

  CopyText(n->label, "");
  d = BuildAdvancedDialog(n);
  EXPECT_STREQ(d->panel->title, "Advanced Numeric Control Definition");
  DestroyAdvancedDialog(d);
}

TEST_F(AdvancedTest, LongScenesPreviewAtMost1000Samples) {
  host.lastFrame = 1000;
  AdvancedDialog* d = BuildAdvancedDialog(n);
  EXPECT_EQ(d->graph->pointCount, 1000);
  DestroyAdvancedDialog(d);
}

TEST_F(AdvancedTest, RowsFollowTheChosenMode) {
  AdvancedDialog* d = BuildAdvancedDialog(n);
  SelectChoice(d->mode, kAnimateSeparation);
  EXPECT_FALSE(d->object1->hidden.get());
  EXPECT_FALSE(d->object2->hidden.get());
  EXPECT_TRUE(d->baseValue->hidden.get());
  SelectChoice(d->mode, kAnimateLinear);
  EXPECT_TRUE(d->object1->hidden.get());
  EXPECT_FALSE(d->baseValue->hidden.get());
  EXPECT_FALSE(d->perFrame->hidden.get());
  EXPECT_EQ(d->working->animateMode.get(), kAnimateLinear);
  EXPECT_EQ(d->target->animateMode.get(), kAnimateFixed);  // nothing reaches the control yet
  DestroyAdvancedDialog(d);
}

TEST_F(AdvancedTest, AcceptingTakesTheDefinition) {
  static testing::FakeItem* chosen = nullptr;
  chosen = ball;
  g_userActions = [](AdvancedDialog* d) {
    SelectChoice(d->mode, kAnimateXPosition);
    AddListItem(d->object1, chosen);
    NotifyValueChanged(d->object1, false);
  };
  ClickA();
  EXPECT_EQ(g_dialogsOpened, 1);
  EXPECT_EQ(n->animateMode.get(), kAnimateXPosition);
  EXPECT_EQ(n->reference1.get(), ball);
  EXPECT_TRUE(n->advancedButton->highlighted());
  EXPECT_EQ(n->pendingChange.get(), 1);
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(n, 0.0), 2.0);
}

TEST_F(AdvancedTest, SeparationWithOneObjectBecomesFixed) {
  static testing::FakeItem* chosen = nullptr;
  chosen = ball;
  g_userActions = [](AdvancedDialog* d) {
    SelectChoice(d->mode, kAnimateSeparation);
    AddListItem(d->object1, chosen);
    NotifyValueChanged(d->object1, false);
  };
  ClickA();
  EXPECT_EQ(n->animateMode.get(), kAnimateFixed);
}

TEST_F(AdvancedTest, CancelLeavesTheControlAndShiftClickMakesItFixed) {
  g_userActions = [](AdvancedDialog* d) { SelectChoice(d->mode, kAnimateLinear); };
  g_dialogResult = 1;
  ClickA();
  EXPECT_EQ(n->animateMode.get(), kAnimateFixed);

  n->animateMode = kAnimateLinear;
  ClickA(kKeyStateShift);
  EXPECT_EQ(g_dialogsOpened, 1);  // no dialog for the Shift-click
  EXPECT_EQ(n->animateMode.get(), kAnimateFixed);
}

}  // namespace
}  // namespace orvik
