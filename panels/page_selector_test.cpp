// Pages and cut/paste ranges built around the creation of controls.
#include "panels/page_selector.h"

#include <gtest/gtest.h>

#include "panels/button_control.h"
#include "panels/cut_paste_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"

namespace orvik {
namespace {

class PagesTest : public ::testing::Test {
 protected:
  // Outer tabs: page "Main" (a, b) and page "Specular" holding inner tabs
  // with pages "Primary" (p1) and "Secondary" (p2).
  void SetUp() override {
    panel = CreatePanel("P", nullptr, 0);
    tabs = AddPageSelector("TAB", 0, 0, panel);
    OpenPage(tabs, "Main");
    a = AddNumericControl("A", 0, 0, panel);
    b = AddNumericControl("B", 0, 0, panel);
    OpenPage(tabs, "Specular");
    inner = AddPageSelector("SPECTAB", 0, 0, panel);
    OpenPage(inner, "Primary");
    p1 = AddNumericControl("P1", 0, 0, panel);
    OpenPage(inner, "Secondary");
    p2 = AddNumericControl("P2", 0, 0, panel);
    ClosePage(inner);
    ClosePage(tabs);
    after = AddNumericControl("AFTER", 0, 0, panel);
  }
  void TearDown() override { DestroyPanel(panel); }
  Panel* panel = nullptr;
  PageSelector *tabs = nullptr, *inner = nullptr;
  NumericControl *a, *b, *p1, *p2, *after;
};

TEST_F(PagesTest, RangesCoverTheControlsCreatedOnEachPage) {
  EXPECT_EQ(tabs->pageCount, 2);
  EXPECT_STREQ(tabs->pages[1].title, "Specular");
  EXPECT_EQ(tabs->pages[0].ranges[0].first, a);
  EXPECT_EQ(tabs->pages[0].ranges[0].last, b);
  EXPECT_EQ(tabs->pages[1].ranges[0].first, inner);
  EXPECT_EQ(tabs->pages[1].ranges[0].last, p2);
  EXPECT_TRUE(PageContains(inner, 1, p2));
  EXPECT_FALSE(PageContains(tabs, 0, after));
}

TEST_F(PagesTest, SetUpHidesOtherPagesIncludingNestedOnes) {
  SetUpAllPageSelectors(panel);
  EXPECT_FALSE(a->hidden.get());
  EXPECT_FALSE(b->hidden.get());
  EXPECT_TRUE(inner->hidden.get());
  EXPECT_TRUE(p1->hidden.get());
  EXPECT_TRUE(p2->hidden.get());
  EXPECT_FALSE(after->hidden.get());
  // Hidden controls lose their windows, sub-controls follow.
  EXPECT_FALSE(p1->hasWindow.get());
  EXPECT_TRUE(p1->caption->hidden.get());
}

TEST_F(PagesTest, ChoosingAPageShowsOnlyItsCurrentInnerPage) {
  SetUpAllPageSelectors(panel);
  static int hooks = 0;
  hooks = 0;
  tabs->valueHook = [](Control*) { ++hooks; };
  panel->focusedControl = a;
  EXPECT_TRUE(ChoosePage(tabs, 1));
  EXPECT_EQ(panel->focusedControl.get(), nullptr);
  EXPECT_TRUE(a->hidden.get());
  EXPECT_FALSE(inner->hidden.get());
  EXPECT_FALSE(p1->hidden.get());
  EXPECT_TRUE(p2->hidden.get());
  EXPECT_TRUE(a->caption->hidden.get());
  EXPECT_EQ(hooks, 1);
  EXPECT_EQ(tabs->pendingChange.get(), 1);

  EXPECT_TRUE(ChoosePage(inner, 1));
  EXPECT_TRUE(p1->hidden.get());
  EXPECT_FALSE(p2->hidden.get());
  EXPECT_FALSE(ChoosePage(inner, 2));
  EXPECT_FALSE(ChoosePage(tabs, -1));

  ChoosePage(tabs, 0);
  EXPECT_TRUE(p2->hidden.get());
  EXPECT_FALSE(b->hidden.get());
}

TEST(PageBuilding, NoMoreThan32Pages) {
  Panel* p = CreatePanel("P", nullptr, 0);
  PageSelector* s = AddPageSelector("TAB", 0, 0, p);
  int opened = 0;
  for (int i = 0; i < 40; ++i) opened += OpenPage(s, "Page") ? 1 : 0;
  ClosePage(s);
  EXPECT_EQ(opened, PageSelector::kMaxPages);
  EXPECT_EQ(s->pageCount, PageSelector::kMaxPages);
  DestroyPanel(p);
}

TEST(CutPaste, RangesAndButtons) {
  static Control* cutFrom = nullptr;
  SetCutPasteHooks([](Control* button) { cutFrom = button->parentControl; }, nullptr);
  Panel* p = CreatePanel("P", nullptr, 0);
  CutPasteControl* pair = AddCutPastePair("EDGECP", 100, 20, p);
  EXPECT_EQ(pair->persistent.get(), 0);
  EXPECT_STREQ(pair->cutButton->key.c_str(), "EDGECP_cut");
  EXPECT_STREQ(pair->pasteButton->caption, "P");
  EXPECT_EQ(pair->pasteButton->x - pair->cutButton->x, 17);
  BeginCutPasteRange(pair);
  NumericControl* e1 = AddNumericControl("E1", 0, 0, p);
  NumericControl* e2 = AddNumericControl("E2", 0, 0, p);
  EXPECT_TRUE(EndCutPasteRange(pair));
  BeginCutPasteRange(pair);
  EXPECT_FALSE(EndCutPasteRange(pair));  // nothing created: no range
  ASSERT_EQ(pair->rangeCount, 1);
  EXPECT_EQ(pair->ranges[0].first, e1);
  EXPECT_EQ(pair->ranges[0].last, e2);
  int n = 0;
  ForEachInCutPasteRanges(pair, [](Control*, void* d) { ++*static_cast<int*>(d); }, &n);
  EXPECT_EQ(n, 2);
  ClickButton(pair->cutButton, 0);
  EXPECT_EQ(cutFrom, pair);
  SetCutPasteHooks(nullptr, nullptr);
  DestroyPanel(p);
}

}  // namespace
}  // namespace orvik
