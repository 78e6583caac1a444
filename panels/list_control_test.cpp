// The multi-select list and the item list: selection bookkeeping, limits,
// clean-up and name resolution.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panels/button_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/item_list_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"

namespace orvik {
namespace {

// The user clicks a row of the list window (as the window layer reports it).
int Click(ListControl* l, int row, bool selected) {
  l->windowSelected[row] = selected ? 1 : 0;
  return ListSelectionChanged(l, 0);
}

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel = CreatePanel("P", nullptr, 0);
    list = AddListControl("LIST", 0, 0, panel);
    std::vector<std::string> rows;
    for (int i = 0; i < 6; ++i) rows.push_back("Row " + std::to_string(i));
    SetListRows(list, rows);
  }
  void TearDown() override { DestroyPanel(panel); }
  Panel* panel = nullptr;
  ListControl* list = nullptr;
};

TEST_F(ListTest, MaximumSelectedDropsTheRowSelectedLastBefore) {
  list->maxSelected = 2;
  EXPECT_EQ(Click(list, 0, true), 0);
  EXPECT_EQ(Click(list, 3, true), 3);
  EXPECT_EQ(Click(list, 5, true), 5);
  EXPECT_TRUE(list->selected[0]);
  EXPECT_FALSE(list->selected[3]);  // selected last before row 5
  EXPECT_FALSE(list->windowSelected[3]);
  EXPECT_TRUE(list->selected[5]);
  EXPECT_EQ(list->selectedCount, 2);
  EXPECT_EQ(Click(list, 5, false), 5);
  EXPECT_EQ(list->selectedCount, 1);
  EXPECT_EQ(ListSelectionChanged(list, 0), -1);  // nothing differs
}

TEST_F(ListTest, LimitHoldsWhenTheLastSelectedRowWasDeselected) {
  list->maxSelected = 2;
  Click(list, 0, true);
  Click(list, 1, true);
  Click(list, 1, false);  // row 1 is the last one taken, now unselected
  Click(list, 2, true);
  Click(list, 4, true);
  EXPECT_EQ(CountSelectedRows(list), 2);
}

TEST_F(ListTest, SingleSelectionFollowsTheLastClick) {
  list->maxSelected = 1;
  static int hooks = 0;
  hooks = 0;
  list->valueHook = [](Control*) { ++hooks; };
  Click(list, 1, true);
  Click(list, 4, true);
  EXPECT_FALSE(list->selected[1]);
  EXPECT_TRUE(list->selected[4]);
  EXPECT_EQ(list->lastSelected, 4);
  EXPECT_EQ(hooks, 2);
}

TEST_F(ListTest, RowsAreBoundedTo512) {
  std::vector<std::string> rows(600, std::string(300, 'r'));
  EXPECT_EQ(SetListRows(list, rows), ListControl::kMaxRows);
  EXPECT_EQ(list->rows[0].size(), ListControl::kMaxRowText);
  EXPECT_EQ(AddListRow(list, "one more"), -1);
}

class ItemListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Install();
    panel = CreatePanel("P", nullptr, 0);
    items = AddItemControl("LIGHTS", 0, 0, panel);
    sun = host.AddItem("Sun", kItemLight);
    spot = host.AddItem("Spot", kItemLight);
    spot->lightType = 1;
    box = host.AddItem("Box", kItemObject);
    none = host.AddItem("(none)", kItemObject);
  }
  void TearDown() override { DestroyPanel(panel); }
  testing::FakeHost host;
  Panel* panel = nullptr;
  ItemListControl* items = nullptr;
  testing::FakeItem *sun, *spot, *box, *none;
};

TEST_F(ItemListTest, CleanUpRemovesEmptiesDuplicatesNoneAndNonDistantLights) {
  ItemHandle raw[] = {sun, nullptr, box, sun, none, spot, box};
  std::memcpy(items->items, raw, sizeof raw);
  items->itemCount = 7;
  EXPECT_EQ(CleanItemList(items), 2);
  EXPECT_EQ(items->items[0], sun);
  EXPECT_EQ(items->items[1], box);
  EXPECT_EQ(items->items[2], nullptr);

  items->allowAllLights = 1;
  AddListItem(items, spot);
  EXPECT_EQ(CleanItemList(items), 3);
  char text[64];
  ItemListDisplayText(items, text, sizeof text);
  EXPECT_STREQ(text, "1:Sun 2:Box 3:Spot");
  items->itemCount = 0;
  ItemListDisplayText(items, text, sizeof text);
  EXPECT_STREQ(text, "(none)");
}

TEST_F(ItemListTest, NeverHoldsMoreThanItsLimit) {
  items->maxItems = 1;
  EXPECT_TRUE(AddListItem(items, sun));
  EXPECT_FALSE(AddListItem(items, box));
  items->maxItems = ItemListControl::kMaxItems;
  items->itemCount = ItemListControl::kMaxItems;
  for (int i = 0; i < ItemListControl::kMaxItems; ++i) items->items[i] = box;
  EXPECT_FALSE(AddListItem(items, sun));
  EXPECT_EQ(CleanItemList(items), 1);
}

TEST_F(ItemListTest, PendingNamesResolveAfterLoadAndMissingOnesAreDropped) {
  testing::FakeItem* rig = host.AddItem("Rig", kItemObject);
  testing::FakeItem* hip = host.AddItem("Hip", kItemBone);
  hip->boneOwner = rig;
  items->allowAllLights = 1;
  ASSERT_TRUE(AddPendingItemName(items, "Sun", 1, 1, kItemLight, nullptr, 1, 1));
  ASSERT_TRUE(AddPendingItemName(items, "Gone", 1, 1, kItemObject, nullptr, 1, 1));
  ASSERT_TRUE(AddPendingItemName(items, "Hip", 1, 1, kItemBone, "Rig", 1, 1));
  panel->loadPending = 1;
  RunPendingAfterLoad(panel);
  EXPECT_EQ(items->itemCount, 2);
  EXPECT_EQ(items->items[0], sun);
  EXPECT_EQ(items->items[1], hip);
  EXPECT_EQ(items->pendingCount, 0);
  EXPECT_STREQ(items->itemButton->caption, "1:Sun 2:Hip");
}

TEST_F(ItemListTest, PendingPoolRefusesWhatDoesNotFit) {
  std::string name(1000, 'n');
  int stored = 0;
  while (AddPendingItemName(items, name.c_str(), 1, 1, kItemObject, nullptr, 1, 1)) ++stored;
  EXPECT_EQ(stored, 4);  // 4 × 1001 bytes fit in 4096
  EXPECT_LE(items->pendingPoolUsed, ItemListControl::kPendingPoolBytes);
  // A bone whose parent no longer fits leaves the pool as it was.
  ClearPendingItemNames(items);
  std::string big(4000, 'b');
  ASSERT_TRUE(AddPendingItemName(items, big.c_str(), 1, 1, kItemObject, nullptr, 1, 1));
  const int used = items->pendingPoolUsed;
  EXPECT_FALSE(AddPendingItemName(items, "Hip", 1, 1, kItemBone, big.c_str(), 1, 1));
  EXPECT_EQ(items->pendingPoolUsed, used);
  EXPECT_EQ(items->pendingCount, 1);
}

TEST_F(ItemListTest, ItemsAreReportedAndRenumbered) {
  AddListItem(items, sun);
  AddListItem(items, box);
  ItemHandle* used = nullptr;
  EXPECT_EQ(CollectUsedItems(panel, &used), 2);
  testing::FakeItem* newBox = host.AddItem("Box", kItemObject);
  ItemIdPair pairs[] = {{box, newBox}, {nullptr, nullptr}};
  ChangeItemIds(panel, pairs);
  EXPECT_EQ(items->items[1], newBox);
}

}  // namespace
}  // namespace orvik
