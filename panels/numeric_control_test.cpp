#include "panels/numeric_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panels/button_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/label_control.h"
#include "panels/panel.h"

namespace orvik {
namespace {

std::string Shown(const NumericControl* n, double v) {
  char text[64];
  size_t len = FormatNumberValue(n, v, text, sizeof text);
  EXPECT_LE(len, NumericControl::kMaxFormatted);
  return text;
}

// Types text into the control's edit field and ends the entry with Tab.
bool Type(NumericControl* n, const char* text) {
  std::strcpy(n->editText, text);
  return CommitNumberEntry(n);
}

class NumericTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel = CreatePanel("P", nullptr, 0);
    percent = AddNumericControl("PCT", 0, 0, panel);
    placed = AddPlacedNumericControl("NUM", 0, 0, panel);
    percent->hasWindow = 1;
    placed->hasWindow = 1;
  }
  void TearDown() override { DestroyPanel(panel); }
  Panel* panel = nullptr;
  NumericControl* percent = nullptr;
  NumericControl* placed = nullptr;
};

TEST_F(NumericTest, CreationDefaults) {
  EXPECT_DOUBLE_EQ(percent->value, 0.5);
  EXPECT_EQ(percent->displayMode, kDisplayPercent);
  EXPECT_DOUBLE_EQ(percent->sliderHigh, 1.0);
  EXPECT_DOUBLE_EQ(percent->dragStep, 0.005);
  EXPECT_FALSE(percent->clampLow || percent->clampHigh);
  EXPECT_STREQ(percent->editText, "  50.0%");

  EXPECT_DOUBLE_EQ(placed->value, 1.0);
  EXPECT_DOUBLE_EQ(placed->initialValue, 1.0);
  EXPECT_DOUBLE_EQ(placed->sliderHigh, 100.0);
  EXPECT_TRUE(placed->clampLow);
  EXPECT_FALSE(placed->clampHigh);
  EXPECT_FALSE(placed->limitDragHigh);
  EXPECT_STREQ(placed->label, "NUM");
  EXPECT_STREQ(placed->caption->key.c_str(), "NUM_label");
  EXPECT_STREQ(placed->advancedButton->key.c_str(), "NUM_A_BUTT");
}

TEST_F(NumericTest, DisplayFormsOfEveryMode) {
  EXPECT_EQ(Shown(placed, 0.5), "  0.500");
  placed->precision = 1;
  EXPECT_EQ(Shown(placed, 2.25), "  2.2");
  placed->displayMode = kDisplayInteger;
  EXPECT_EQ(Shown(placed, 2.5), "  3");
  EXPECT_EQ(Shown(placed, -2.5), "  -2");
  EXPECT_EQ(Shown(placed, 1e30), "  2147483647");
  placed->displayMode = kDisplayOneDecimal;
  EXPECT_EQ(Shown(placed, 0.26), "  0.3");
  placed->displayMode = 7;
  EXPECT_EQ(Shown(placed, 1.0), "");

  // Percent shows max(1, precision - 2) decimals.
  percent->precision = 3;
  EXPECT_EQ(Shown(percent, 0.5), "  50.0%");
  percent->precision = 2;
  EXPECT_EQ(Shown(percent, 0.5), "  50.0%");
  percent->precision = 5;
  EXPECT_EQ(Shown(percent, 0.5), "  50.000%");
}

TEST_F(NumericTest, DisplayTextNeverExceeds30Characters) {
  placed->precision = 40;
  EXPECT_LE(Shown(placed, 1e300).size(), 30u);
  percent->precision = 1000;
  EXPECT_LE(Shown(percent, -1e300).size(), 30u);
  char tiny[4];
  FormatNumberValue(placed, 123456.0, tiny, sizeof tiny);
  EXPECT_EQ(std::strlen(tiny), 3u);
}

TEST_F(NumericTest, TypingParsesScalesClampsAndRounds) {
  EXPECT_TRUE(Type(percent, "150"));
  EXPECT_DOUBLE_EQ(percent->value, 1.5);
  percent->clampHigh = 1;
  percent->maximum = 1.0;
  Type(percent, "150");
  EXPECT_DOUBLE_EQ(percent->value, 1.0);
  EXPECT_STREQ(percent->editText, "  100.0%");

  placed->displayMode = kDisplayInteger;
  placed->clampLow = 0;
  Type(placed, "2.5");
  EXPECT_STREQ(placed->editText, "  3");
  Type(placed, "-2.5");
  EXPECT_STREQ(placed->editText, "  -2");
  EXPECT_DOUBLE_EQ(placed->value, -2.0);

  // Text that is no number reads as 0, as the standard conversion does; the
  // low clamp then holds.
  placed->displayMode = kDisplayFixed;
  placed->clampLow = 1;
  placed->minimum = 0.25;
  Type(placed, "abc");
  EXPECT_DOUBLE_EQ(placed->value, 0.25);
  EXPECT_DOUBLE_EQ(ParseNumberText(placed, "3.5e1xyz"), 35.0);
}

TEST_F(NumericTest, SameValueAgainChangesNothingButMovesFocus) {
  static int hookCalls = 0;
  hookCalls = 0;
  percent->valueHook = [](Control*) { ++hookCalls; };
  NumericControl* next = AddNumericControl("NEXT", 0, 0, panel);
  Type(percent, "50");  // 0.5 already
  EXPECT_EQ(hookCalls, 0);
  EXPECT_EQ(percent->pendingChange.get(), 0);
  EXPECT_EQ(panel->focusedControl.get(), placed);
  Type(percent, "50.001");  // below the change threshold
  EXPECT_EQ(hookCalls, 0);
  Type(percent, "60");
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(percent->pendingChange.get(), 1);
  (void)next;
}

TEST_F(NumericTest, GhostedOrAnimatedControlsRefuseTypingAndFocus) {
  percent->animateMode = kAnimateLinear;
  EXPECT_FALSE(Type(percent, "10"));
  EXPECT_DOUBLE_EQ(percent->value, 0.5);
  percent->ops.takeFocus(percent);
  EXPECT_EQ(panel->focusedControl.get(), nullptr);
  percent->animateMode = kAnimateFixed;
  percent->ghosted = 1;
  EXPECT_FALSE(Type(percent, "10"));
  // Without an edit window ParseNumber does nothing.
  placed->hasWindow = 0;
  std::strcpy(placed->editText, "42");
  ParseNumber(placed);
  EXPECT_DOUBLE_EQ(placed->value, 1.0);
}

TEST_F(NumericTest, EditTextColourShowsState) {
  EXPECT_EQ(NumberEditColor(percent), 0xA5DCDCu);
  percent->editing = 1;
  EXPECT_EQ(NumberEditColor(percent), 0xBFFFFFu);
  percent->animateMode = kAnimateXPosition;
  EXPECT_EQ(NumberEditColor(percent), 0x646464u);
  percent->animateMode = kAnimateFixed;
  percent->ghosted = 1;
  EXPECT_EQ(NumberEditColor(percent), 0x646464u);
}

TEST_F(NumericTest, DragRangeStartsFromSliderWidenedToValueAndLimited) {
  DragRange r = StartDragRange(percent);
  EXPECT_DOUBLE_EQ(r.low, 0.0);
  EXPECT_DOUBLE_EQ(r.high, 1.0);
  percent->value = 1.7;
  r = StartDragRange(percent);
  EXPECT_DOUBLE_EQ(r.high, 1.7);
  percent->clampHigh = 1;
  percent->maximum = 1.2;
  r = StartDragRange(percent);
  EXPECT_DOUBLE_EQ(r.high, 1.2);
  percent->value = -3.0;
  percent->clampLow = 1;
  percent->minimum = -1.0;
  r = StartDragRange(percent);
  EXPECT_DOUBLE_EQ(r.low, -1.0);
}

TEST_F(NumericTest, DragWithoutShiftStopsAtRangeAndShiftGoesBeyond) {
  DragRange r = StartDragRange(percent);
  // 0.5 + 200 px × 0.005 = 1.5: without Shift held at 100%.
  EXPECT_DOUBLE_EQ(ApplyDragStep(percent, 0.5, 200, false, &r), 1.0);
  EXPECT_DOUBLE_EQ(ApplyDragStep(percent, 0.5, -200, false, &r), 0.0);
  EXPECT_DOUBLE_EQ(ApplyDragStep(percent, 0.5, 200, true, &r), 1.5);
  EXPECT_DOUBLE_EQ(r.high, 1.5);  // the range widened to the value
  // With Shift the hard limits still hold when they are on.
  percent->clampHigh = 1;
  percent->maximum = 1.25;
  DragRange r2 = StartDragRange(percent);
  EXPECT_DOUBLE_EQ(ApplyDragStep(percent, 0.5, 400, true, &r2), 1.25);
  // A drag limit switched off lets the value pass the ordinary range.
  EXPECT_DOUBLE_EQ(ApplyDragStep(placed, 99.0, 1000, false, &r2), 104.0);
}

TEST(NumericDrag, ParkingModeAndStepArithmetic) {
  int px, py;
  DragParkingPoint(100, 100, &px, &py);
  EXPECT_EQ(px, 512);
  EXPECT_EQ(py, 405);
  DragParkingPoint(321, 241, &px, &py);
  EXPECT_EQ(px, 128);
  EXPECT_EQ(py, 75);
  // A pointer that stayed by its start is a tablet: absolute mode.
  EXPECT_EQ(DecideDragMode(100, 100, 512, 405, 103, 100), kDragAbsolute);
  EXPECT_EQ(DecideDragMode(100, 100, 512, 405, 515, 405), kDragRelative);
  EXPECT_DOUBLE_EQ(RelativeDragStep(512, 520), 8.0);
  // 2 × 10 + 20²/500 - 10²/500
  EXPECT_DOUBLE_EQ(AbsoluteDragStep(100, 110, 120), 20.0 + 0.8 - 0.2);
  EXPECT_DOUBLE_EQ(AbsoluteDragStep(100, 90, 80), -20.0 - 0.8 + 0.2);
  int nx = 0;
  EXPECT_FALSE(DragNeedsRecentre(576, &nx));
  EXPECT_TRUE(DragNeedsRecentre(600, &nx));
  EXPECT_EQ(nx, 320);
}

TEST_F(NumericTest, FullDragReportsLiveAndRoundsOnRelease) {
  static int hookCalls = 0;
  hookCalls = 0;
  placed->valueHook = [](Control*) { ++hookCalls; };
  placed->displayMode = kDisplayInteger;
  placed->dragStep = 0.1;
  SetNumberValue(placed, 2.0);  // the press reads the edit text back first
  BeginNumberDrag(placed, 100, 100);  // parks at 512
  EXPECT_TRUE(placed->editing.get());
  EXPECT_FALSE(MoveNumberDrag(placed, 512, 405, false));  // no horizontal change
  EXPECT_TRUE(MoveNumberDrag(placed, 516, 405, false));   // relative: +4 px
  EXPECT_NEAR(placed->value, 2.4, 1e-12);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_TRUE(MoveNumberDrag(placed, 600, 405, false));  // leaves the band: recentred
  EXPECT_EQ(placed->dragLastX, 320);
  EndNumberDrag(placed);
  EXPECT_FALSE(placed->editing.get());
  EXPECT_DOUBLE_EQ(placed->value, 11.0);  // 2.4 + 8.4 = 10.8, rounded
  EXPECT_EQ(hookCalls, 3);
  // An animated control cannot be dragged.
  placed->animateMode = kAnimateLinear;
  BeginNumberDrag(placed, 100, 100);
  EXPECT_FALSE(placed->editing.get());
}

TEST_F(NumericTest, CopyValueCarriesDefinitionAndLimits) {
  testing::FakeHost host;
  host.Install();
  testing::FakeItem* ball = host.AddItem("Ball", kItemObject);
  placed->value = 7.0;
  placed->animateMode = kAnimateSeparation;
  placed->reference1 = ball;
  placed->linearRate = 0.25;
  placed->clampHigh = 1;
  placed->maximum = 9.0;
  placed->precision = 1;
  Panel* other = CreatePanel("Q", nullptr, 0);
  NumericControl* d = AddNumericControl("PCT", 0, 0, other);
  placed->ops.copyValue(placed, d);
  EXPECT_DOUBLE_EQ(d->value, 7.0);
  EXPECT_EQ(d->animateMode.get(), kAnimateSeparation);
  EXPECT_EQ(d->reference1.get(), ball);
  EXPECT_DOUBLE_EQ(d->linearRate, 0.25);
  EXPECT_TRUE(d->clampHigh);
  EXPECT_EQ(d->precision, 1);
  EXPECT_STREQ(d->label, "PCT");  // the caption is not a value
  DestroyPanel(other);
}

TEST_F(NumericTest, AfterLoadResolvesPendingNamesIncludingBones) {
  testing::FakeHost host;
  host.Install();
  testing::FakeItem* arm = host.AddItem("Arm", kItemObject);
  testing::FakeItem* bone = host.AddItem("Elbow", kItemBone);
  bone->boneOwner = arm;
  std::strcpy(placed->pendingReference1.name, "Elbow");
  placed->pendingReference1.type = kItemBone;
  std::strcpy(placed->pendingReference1.parentName, "Arm");
  std::strcpy(placed->pendingReference2.name, "Missing");
  placed->reference2 = arm;
  placed->animateMode = kAnimateSeparation;
  panel->loadPending = 1;
  CollectUsedItems(panel);  // runs the pending after-load work first
  EXPECT_EQ(placed->reference1.get(), bone);
  EXPECT_EQ(placed->reference2.get(), nullptr);
  EXPECT_FALSE(placed->pendingReference1.IsSet());
  EXPECT_FALSE(placed->pendingReference2.IsSet());
  EXPECT_TRUE(placed->advancedButton->highlighted());
  EXPECT_EQ(panel->loadPending.get(), 0);
}

class EvaluateTest : public NumericTest {
 protected:
  void SetUp() override {
    NumericTest::SetUp();
    host.Install();
    ball = host.AddItem("Ball", kItemObject);
    ball->position[0] = 3.0;
    ball->position[1] = 4.0;
    ball->position[2] = 12.0;
    ball->scale[0] = 2.0;
    ball->scale[1] = 3.0;
    ball->scale[2] = 6.0;
    cube = host.AddItem("Cube", kItemObject);
    placed->clampLow = 0;
  }
  testing::FakeHost host;
  testing::FakeItem* ball = nullptr;
  testing::FakeItem* cube = nullptr;
};

TEST_F(EvaluateTest, EveryModeFollowsItsReference) {
  placed->reference1 = ball;
  placed->reference2 = cube;
  const double expected[kAnimateModeCount] = {
      1.0, 3.0, 4.0, 12.0, 13.0, 2.0, 3.0, 6.0, 7.0 * kAverageScaleFactor, 13.0, 1.0};
  for (int mode = 0; mode < kAnimateModeCount; ++mode) {
    placed->animateMode = mode;
    EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 1.0 / 30.0), expected[mode]) << AnimateModeLabel(mode);
  }
  EXPECT_DOUBLE_EQ(placed->evaluatedValue, 1.0);
  placed->animateMode = 42;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 1.0);
  // Not advanced: the plain value, whatever the mode.
  placed->animateMode = kAnimateXPosition;
  placed->allowAdvanced = 0;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 1.0);
}

TEST_F(EvaluateTest, AverageSizeUsesTheStoredConstant) {
  placed->reference1 = ball;
  placed->animateMode = kAnimateAverageScale;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 7.0 * 0.577350538379377);
  EXPECT_NE(EvaluateNumberAt(placed, 0.0), 7.0 * 0.5773502691896258);
}

TEST_F(EvaluateTest, DeletedReferenceGivesZeroEvenWithClampLow) {
  placed->animateMode = kAnimateYPosition;
  placed->clampLow = 1;
  placed->minimum = 0.5;
  placed->evaluatedValue = 77.0;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(placed->evaluatedValue, 77.0);  // nothing stored
  placed->animateMode = kAnimateSeparation;
  placed->reference1 = ball;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 0.0);
  // With a reference the clamps and rounding apply.
  placed->animateMode = kAnimateXPosition;
  placed->clampHigh = 1;
  placed->maximum = 2.5;
  placed->displayMode = kDisplayInteger;
  EXPECT_DOUBLE_EQ(EvaluateNumberAt(placed, 0.0), 3.0);  // 2.5 rounded half up
}

TEST_F(EvaluateTest, LinearModeIsPerFrameWhateverTheFrameRate) {
  placed->animateMode = kAnimateLinear;
  placed->value = 1.0;
  placed->linearRate = 0.5;
  for (double fps : {24.0, 25.0, 30.0, 60.0}) {
    host.fps = fps;
    EXPECT_NEAR(EvaluateNumberAt(placed, 1.0 / fps), 1.0, 1e-12) << fps;
    EXPECT_NEAR(EvaluateNumberAt(placed, 10.0 / fps), 5.5, 1e-12) << fps;
  }
}

TEST_F(EvaluateTest, SummarySampleCountsAndText) {
  EXPECT_EQ(SummarySampleCount(0, 2), 20);
  EXPECT_EQ(SummarySampleCount(0, 4), 20);
  EXPECT_EQ(SummarySampleCount(0, 5), 25);
  EXPECT_EQ(SummarySampleCount(0, 1000), 1000);
  EXPECT_EQ(SummarySampleCount(0, 199), 995);
  EXPECT_EQ(SummarySampleCount(10, 0), 20);

  placed->animateMode = kAnimateLinear;
  placed->value = 1.0;
  placed->linearRate = 0.5;
  struct Points {
    std::vector<double> f;
  } pts;
  NumberSummary s = ComputeNumberSummary(
      placed, 1.7, 10.2, 20, 30.0,
      [](void* d, double f, double) { static_cast<Points*>(d)->f.push_back(f); }, &pts);
  EXPECT_EQ(s.startFrame, 1);
  EXPECT_EQ(s.endFrame, 10);
  ASSERT_EQ(pts.f.size(), 20u);
  EXPECT_DOUBLE_EQ(pts.f.front(), 1.0);
  EXPECT_DOUBLE_EQ(pts.f.back(), 10.0);
  EXPECT_NEAR(s.minimum, 1.0, 1e-9);
  EXPECT_NEAR(s.maximum, 5.5, 1e-9);
  EXPECT_NEAR(s.average, 3.25, 1e-9);
  EXPECT_STREQ(s.text, "From Frame 1 to 10 the value ranges from 1.000 to 5.500, average: 3.250.");

  // An empty frame range still spans one frame.
  s = ComputeNumberSummary(placed, 5.0, 2.0, 1000, 30.0);
  EXPECT_EQ(s.endFrame, 6);
  EXPECT_EQ(s.sampleCount, 1000);
}

TEST_F(EvaluateTest, AcceptingDropsModesWithoutTheirReferences) {
  NumericControl working;
  working.animateMode = kAnimateSeparation;
  working.reference1 = ball;
  working.value = 4.0;
  AcceptAdvancedDefinition(placed, &working);
  EXPECT_EQ(placed->animateMode.get(), kAnimateFixed);
  EXPECT_DOUBLE_EQ(placed->value, 4.0);
  EXPECT_FALSE(placed->advancedButton->highlighted());
  working.animateMode = kAnimateZScale;
  AcceptAdvancedDefinition(placed, &working);
  EXPECT_EQ(placed->animateMode.get(), kAnimateZScale);
  EXPECT_TRUE(placed->advancedButton->highlighted());

  // Shift-click on A makes it fixed; a fixed control stays untouched.
  EXPECT_TRUE(MakeNumberFixed(placed));
  EXPECT_EQ(placed->animateMode.get(), kAnimateFixed);
  EXPECT_FALSE(placed->advancedButton->highlighted());
  EXPECT_EQ(placed->pendingChange.get(), 1);
  EXPECT_FALSE(MakeNumberFixed(placed));
}

}  // namespace
}  // namespace orvik
