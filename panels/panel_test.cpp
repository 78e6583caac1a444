#include "panels/panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/cut_paste_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/string_control.h"

namespace orvik {
namespace {

// A panel shaped like a settings page: numbers, a check button, a colour,
// a choice, a string.
Panel* BuildPanel(bool withLastString = true) {
  Panel* p = CreatePanel("Test Panel", nullptr, 3);
  AddNumericControl("DIFFUSE", 10, 10, p);
  AddNumericControl("SPECULAR", 10, 30, p);
  AddCheckButton("PIN", 10, 50, p);
  AddColorControl("TINT", 10, 70, p);
  ChoiceControl* ch = AddChoiceControl("MODE", 10, 90, p);
  const char* labels[] = {"One", "Two", "Three"};
  SetChoiceLabels(ch, labels, 3);
  if (withLastString) AddStringControl("NOTES", 10, 110, p);
  return p;
}

std::vector<std::string> Keys(const Panel* p) {
  std::vector<std::string> keys;
  for (Control* c : p->controls()) keys.push_back(c->key.c_str());
  return keys;
}

TEST(PanelChain, NewPanelAndControlsCarryTheirDefaults) {
  Panel* p = CreatePanel("Orvik Master", nullptr, 1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->kind, kKindPanel);
  EXPECT_STREQ(p->key.c_str(), "panel");
  EXPECT_STREQ(p->blockName, "Orvik Master");
  EXPECT_DOUBLE_EQ(p->settingsVersion, 1.0);
  EXPECT_EQ(p->persistent.get(), 0);
  EXPECT_LT(p->placement.left, -99);

  LabelControl* l = AddLabelControl(nullptr, 0, 0, p);
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l->key.c_str(), "BAD_ID!");
  EXPECT_EQ(l->owner, p);
  EXPECT_EQ(l->active.get(), 1);
  EXPECT_EQ(l->left, -1);
  NumericControl* n = AddNumericControl("N", 5, 6, p);
  EXPECT_EQ(n->focusGroup, 1);
  EXPECT_EQ(l->focusGroup, 0);
  DestroyPanel(p);
}

TEST(PanelChain, AnchorAnywhereAppendsAtTheEnd) {
  Panel* p = BuildPanel();
  Control* middle = FindControl(p, "PIN");
  ASSERT_NE(middle, nullptr);
  AddLabelControl("LAST1", 0, 0, middle);
  AddLabelControl("LAST2", 0, 0, p->firstControl());
  std::vector<std::string> keys = Keys(p);
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[keys.size() - 2], "LAST1");
  EXPECT_EQ(keys.back(), "LAST2");
  EXPECT_EQ(p->lastControl()->owner, p);
  DestroyPanel(p);
}

TEST(PanelChain, FindIsExactAndMoveToFrontRelinks) {
  Panel* p = BuildPanel();
  EXPECT_EQ(FindControl(p, "DIFFUS"), nullptr);
  EXPECT_EQ(FindControl(p, "diffuse"), nullptr);
  Control* tint = FindControl(p, "TINT");
  ASSERT_NE(tint, nullptr);
  // Sub-controls are not in the chain.
  EXPECT_EQ(FindControl(p, "TINT_choose"), nullptr);
  MoveControlToFront(p, tint);
  EXPECT_EQ(Keys(p), (std::vector<std::string>{"TINT", "DIFFUSE", "SPECULAR", "PIN", "MODE", "NOTES"}));
  DestroyPanel(p);
}

TEST(PanelChain, KeysAreCutTo71Characters) {
  Panel* p = CreatePanel("P", nullptr, 0);
  std::string longKey(200, 'K');
  NumericControl* n = AddNumericControl(longKey.c_str(), 0, 0, p);
  EXPECT_EQ(std::string(n->key.c_str()), std::string(71, 'K'));
  // Its sub-control keys are cut the same way.
  EXPECT_EQ(std::string(n->caption->key.c_str()).size(), 71u);
  DestroyPanel(p);
}

TEST(PanelChain, RemovingARangeEndKeepsPageRangesValid) {
  Panel* p = CreatePanel("P", nullptr, 0);
  PageSelector* tabs = AddPageSelector("TAB", 0, 0, p);
  OpenPage(tabs, "One");
  NumericControl* a = AddNumericControl("A", 0, 0, p);
  NumericControl* b = AddNumericControl("B", 0, 0, p);
  OpenPage(tabs, "Two");
  NumericControl* c = AddNumericControl("C", 0, 0, p);
  ClosePage(tabs);
  RemoveControl(b);
  EXPECT_EQ(tabs->pages[0].ranges[0].first, a);
  EXPECT_EQ(tabs->pages[0].ranges[0].last, a);
  RemoveControl(a);
  EXPECT_EQ(tabs->pages[0].ranges[0].first, nullptr);
  EXPECT_TRUE(PageContains(tabs, 1, c));
  EXPECT_TRUE(ChoosePage(tabs, 0));  // an emptied page is still choosable
  DestroyPanel(p);
}

TEST(PanelChain, RemovingASubControlDetachesItFromItsParent) {
  Panel* p = CreatePanel("P", nullptr, 0);
  NumericControl* n = AddNumericControl("N", 0, 0, p);
  RemoveControl(n->caption);  // would be freed twice if the parent kept it
  n->caption = nullptr;
  EXPECT_EQ(n->subControls.size(), 1u);
  DestroyPanel(p);
}

TEST(PanelChain, DestroyFreesInactiveRecordsToo) {
  // Run under AddressSanitizer: any record left behind is reported as a leak.
  Panel* p = BuildPanel();
  FindControl(p, "PIN")->active = 0;
  FindControl(p, "DIFFUSE")->active = 0;
  CutPasteControl* pair = AddCutPastePair("CP", 0, 0, p);
  BeginCutPasteRange(pair);
  AddNumericControl("X", 0, 0, p);
  EndCutPasteRange(pair);
  p->decorations.push_back(new LabelControl);
  DestroyPanel(p);
}

TEST(CopySettings, CopiesEveryActiveValue) {
  Panel* a = BuildPanel();
  Panel* b = BuildPanel();
  AsNumeric(FindControl(a, "DIFFUSE"))->value = 0.25;
  AsButton(FindControl(a, "PIN"))->state = kButtonHighlighted | kButtonChecked;
  AsColor(FindControl(a, "TINT"))->green = 77;
  AsChoice(FindControl(a, "MODE"))->selection = 2;
  SetStringText(AsString(FindControl(a, "NOTES")), "hello world");
  // An inactive control is skipped on both sides.
  FindControl(a, "SPECULAR")->active = 0;
  FindControl(b, "SPECULAR")->active = 0;
  AsNumeric(FindControl(a, "SPECULAR"))->value = 0.9;

  EXPECT_EQ(CopyPanelSettings(a, b), 0);
  EXPECT_DOUBLE_EQ(AsNumeric(FindControl(b, "DIFFUSE"))->value, 0.25);
  EXPECT_DOUBLE_EQ(AsNumeric(FindControl(b, "SPECULAR"))->value, 0.5);
  EXPECT_EQ(AsButton(FindControl(b, "PIN"))->state.get(), 3);
  EXPECT_EQ(AsColor(FindControl(b, "TINT"))->green.get(), 77);
  EXPECT_EQ(AsChoice(FindControl(b, "MODE"))->selection.get(), 2);
  EXPECT_STREQ(AsString(FindControl(b, "NOTES"))->text, "hello world");
  DestroyPanel(a);
  DestroyPanel(b);
}

TEST(CopySettings, OneControlLessFailsAfterCopyingWhatMatched) {
  Panel* full = BuildPanel(true);
  Panel* shorter = BuildPanel(false);
  AsNumeric(FindControl(full, "DIFFUSE"))->value = 0.125;
  AsChoice(FindControl(full, "MODE"))->selection = 1;
  EXPECT_EQ(CopyPanelSettings(full, shorter), 1);
  EXPECT_DOUBLE_EQ(AsNumeric(FindControl(shorter, "DIFFUSE"))->value, 0.125);
  EXPECT_EQ(AsChoice(FindControl(shorter, "MODE"))->selection.get(), 1);
  // And the other way round.
  EXPECT_EQ(CopyPanelSettings(shorter, full), 1);
  DestroyPanel(full);
  DestroyPanel(shorter);
}

TEST(CopySettings, MisalignedKindsAreNotMixed) {
  Panel* a = CreatePanel("A", nullptr, 0);
  Panel* b = CreatePanel("B", nullptr, 0);
  AddNumericControl("N", 0, 0, a)->value = 3.0;
  AddColorControl("C", 0, 0, b)->red = 12;
  EXPECT_EQ(CopyPanelSettings(a, b), 1);
  EXPECT_EQ(AsColor(b->firstControl())->red.get(), 12);
  DestroyPanel(a);
  DestroyPanel(b);
}

TEST(Focus, NextWrapsAndSkipsGhostedHiddenAndOtherGroups) {
  Panel* p = CreatePanel("P", nullptr, 0);
  NumericControl* n1 = AddNumericControl("N1", 0, 0, p);
  NumericControl* n2 = AddNumericControl("N2", 0, 0, p);
  AddButtonControl("B", 0, 0, p);  // no takeFocus
  NumericControl* n3 = AddNumericControl("N3", 0, 0, p);
  NumericControl* n4 = AddNumericControl("N4", 0, 0, p);
  n4->focusGroup = 2;

  EXPECT_EQ(FocusNext(n1, 1), n2);
  EXPECT_EQ(FocusNext(n3, 1), n1);   // wraps past the other group
  EXPECT_EQ(FocusNext(n1, -1), n3);  // backwards wraps too
  n2->ghosted = 1;
  EXPECT_EQ(FocusNext(n1, 1), n3);
  n3->hidden = 1;
  EXPECT_EQ(FocusNext(n1, 1), n1);  // nothing else: the control itself
  EXPECT_EQ(FocusNext(n4, 1), n4);
  EXPECT_EQ(FocusNext(n1, 0), n1);

  n2->ghosted = 0;
  FocusMove(n1, 1);
  EXPECT_EQ(p->focusedControl.get(), n2);
  DestroyPanel(p);
}

TEST(UsedItems, CollectsReferencesWithParentsAndEndsTheList) {
  testing::FakeHost host;
  host.Install();
  testing::FakeItem* null = host.AddItem("Null", kItemObject);
  testing::FakeItem* ball = host.AddItem("Ball", kItemObject, null);
  testing::FakeItem* arm = host.AddItem("Arm", kItemObject);
  testing::FakeItem* bone = host.AddItem("Bone", kItemBone);
  bone->boneOwner = arm;

  Panel* p = CreatePanel("P", nullptr, 0);
  NumericControl* a = AddNumericControl("A", 0, 0, p);
  a->reference1 = ball;
  NumericControl* b = AddNumericControl("B", 0, 0, p);
  b->reference1 = bone;
  NumericControl* quiet = AddNumericControl("Q", 0, 0, p);
  quiet->reference1 = null;
  quiet->reportItems = 0;

  ItemHandle* list = nullptr;
  int n = CollectUsedItems(p, &list);
  ASSERT_EQ(n, 4);
  EXPECT_EQ(list[0], ball);
  EXPECT_EQ(list[1], null);
  EXPECT_EQ(list[2], bone);
  EXPECT_EQ(list[3], arm);
  EXPECT_EQ(list[4], nullptr);

  a->reportItemParents = 0;
  EXPECT_EQ(CollectUsedItems(p, &list), 3);
  DestroyPanel(p);
}

TEST(UsedItems, ListNeverExceedsItsBuffer) {
  testing::FakeHost host;
  host.Install();
  testing::FakeItem* item = host.AddItem("I", kItemObject);
  Panel* p = CreatePanel("P", nullptr, 0);
  for (int i = 0; i < 700; ++i) {
    NumericControl* n = AddNumericControl("N", 0, 0, p);
    n->reference1 = item;
    n->reference2 = item;
  }
  ItemHandle* list = nullptr;
  EXPECT_EQ(CollectUsedItems(p, &list), kMaxUsedItems);
  EXPECT_EQ(list[kMaxUsedItems], nullptr);
  DestroyPanel(p);
}

TEST(UsedItems, ChangeIdsMapsReferencesAndThePanelItem) {
  int o1, o2, n1, n2;
  Panel* p = CreatePanel("P", nullptr, 0);
  p->item = &o2;
  NumericControl* a = AddNumericControl("A", 0, 0, p);
  a->reference1 = &o1;
  a->reference2 = &n2;  // not in the list: stays
  ItemIdPair pairs[] = {{&o1, &n1}, {&o2, &n2}, {nullptr, nullptr}};
  ChangeItemIds(p, pairs);
  EXPECT_EQ(a->reference1.get(), &n1);
  EXPECT_EQ(a->reference2.get(), &n2);
  EXPECT_EQ(p->item, &n2);
  DestroyPanel(p);
}

TEST(ControlText, FormattedTextIsBoundedAndGhosts) {
  Panel* p = CreatePanel("P", nullptr, 0);
  LabelControl* l = AddLabelControl("L", 0, 0, p);
  std::string huge(2000, 'x');
  SetControlTextFormatted(l, 1, "%s", huge.c_str());
  EXPECT_EQ(std::string(l->text).size(), 511u);
  EXPECT_EQ(l->ghosted.get(), 1);
  SetControlTextFormatted(l, 0, "Group %ld", 3L);
  EXPECT_STREQ(l->text, "Group 3");
  EXPECT_EQ(l->ghosted.get(), 0);

  NumericControl* n = AddNumericControl("N", 0, 0, p);
  SetControlTextFormatted(n, 0, "Group %d boost", 2);
  EXPECT_STREQ(n->label, "Group 2 boost");
  EXPECT_STREQ(n->caption->text, "Group 2 boost");
  SetControlLabel(n, huge.c_str());
  EXPECT_EQ(std::string(n->caption->text).size(), 255u);

  StringControl* s = AddStringControl("S", 0, 0, p);
  SetControlTextFormatted(s, -1, "%s", huge.c_str());
  EXPECT_EQ(std::string(s->text).size(), 255u);
  EXPECT_STREQ(s->editText, s->text);
  DestroyPanel(p);
}

TEST(PanelWindows, IdlePassAndTeardown) {
  Panel* p = CreatePanel("P", nullptr, 0);
  static int order[4];
  static int calls = 0;
  calls = 0;
  LabelControl* a = AddLabelControl("A", 0, 0, p);
  LabelControl* b = AddLabelControl("B", 0, 0, p);
  LabelControl* inactive = AddLabelControl("C", 0, 0, p);
  a->ops.idle = [](Control*) { return 2; };
  b->ops.idle = [](Control*) { return 0; };
  EXPECT_EQ(RunIdlePass(p), 2);

  a->ops.destroyWindows = [](Control*) { order[calls++] = 1; };
  p->ops.destroyWindows = [](Control*) { order[calls++] = 3; };
  inactive->active = 0;
  inactive->hasWindow = 1;
  a->hasWindow = b->hasWindow = 1;
  static int data = 7;
  p->panelData = &data;
  p->releasePanelDataWithOwner = [](void*, void*) { order[calls++] = 4; };
  p->releasePanelData = [](void* d) { order[calls++] = 5 + *static_cast<int*>(d); };
  TearDownPanelWindows(p);
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(order[0], 1);
  EXPECT_EQ(order[1], 3);
  EXPECT_EQ(order[2], 4);
  EXPECT_EQ(order[3], 12);
  EXPECT_EQ(a->hasWindow.get(), 0);
  EXPECT_EQ(b->hasWindow.get(), 0);
  EXPECT_EQ(inactive->hasWindow.get(), 1);  // not active: left alone
  EXPECT_EQ(p->panelData, nullptr);
  DestroyPanel(p);
}

TEST(ControlText, CancelSetsCloseStateAndPostsClose) {
  Panel* p = CreatePanel("P", nullptr, 0);
  static std::vector<unsigned> posted;
  posted.clear();
  WindowBackend backend;
  backend.postMessage = [](Panel*, unsigned code, uintptr_t, intptr_t) { posted.push_back(code); };
  SetWindowBackend(backend);
  int fakeWindow = 0;
  CancelPanel(p);  // no window yet: nothing posted
  EXPECT_TRUE(posted.empty());
  p->window = &fakeWindow;
  CancelPanel(p);
  EXPECT_EQ(p->closeState.get(), kCloseCancelled);
  EXPECT_EQ(posted, std::vector<unsigned>{kMsgClose});
  SetWindowBackend(WindowBackend{});
  DestroyPanel(p);
}

}  // namespace
}  // namespace orvik
