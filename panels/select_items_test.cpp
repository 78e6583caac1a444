#include "panels/select_items.h"

#include <gtest/gtest.h>

#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/fake_toolkit_host.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"

namespace orvik {
namespace {

// The user's clicks inside the modal panel, and its result.
void (*g_inDialog)(SelectItemsDialog*) = nullptr;
int g_result = 0;

int ScriptedModal(Panel* panel, Panel*) {
  if (g_inDialog != nullptr) g_inDialog(static_cast<SelectItemsDialog*>(panel->panelData));
  return g_result;
}

// Clicks the list row showing the named item.
void ClickRow(SelectItemsDialog* d, const char* name) {
  for (int row = 0; row < d->list->rowCount; ++row) {
    if (d->list->rows[static_cast<size_t>(row)] == name) {
      d->list->windowSelected[row] = 1;
      ListSelectionChanged(d->list, 0);
      return;
    }
  }
  ADD_FAILURE() << "no row " << name;
}

class SelectItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Install();
    zeta = host.AddItem("Zeta", kItemObject);
    alpha = host.AddItem("Alpha", kItemObject);
    mid = host.AddItem("Mid", kItemObject);
    rig = host.AddItem("Rig", kItemObject);
    hip = host.AddItem("Hip", kItemBone);
    hip->boneOwner = rig;
    sun = host.AddItem("Sun", kItemLight);
    WindowBackend backend;
    backend.openModal = ScriptedModal;
    SetWindowBackend(backend);
    g_inDialog = nullptr;
    g_result = 0;
    panel = CreatePanel("P", nullptr, 0);
    items = AddItemControl("OBJS", 0, 0, panel);
  }
  void TearDown() override {
    DestroyPanel(panel);
    SetWindowBackend(WindowBackend{});
  }
  testing::FakeHost host;
  testing::FakeItem *zeta, *alpha, *mid, *rig, *hip, *sun;
  Panel* panel = nullptr;
  ItemListControl* items = nullptr;
};

TEST_F(SelectItemsTest, ListsSortedByNameOrInHostOrder) {
  SelectItemsDialog* d = BuildSelectItemsDialog(items);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->list->rowCount, 4);
  EXPECT_EQ(d->list->rows[0], "Alpha");
  EXPECT_EQ(d->list->rows[3], "Zeta");
  SelectChoice(d->hostOrder, 0);
  EXPECT_EQ(d->list->rows[0], "Zeta");
  SelectChoice(d->type, kSelectLights);
  ASSERT_EQ(d->list->rowCount, 1);
  EXPECT_EQ(d->list->rows[0], "Sun");
  DestroySelectItemsDialog(d);
}

TEST_F(SelectItemsTest, SingleItemControlTakesTheLastClick) {
  items->maxItems = 1;
  g_inDialog = [](SelectItemsDialog* d) {
    ClickRow(d, "Zeta");
    ClickRow(d, "Alpha");
    ClickRow(d, "Mid");
    EXPECT_STREQ(d->counts[kSelectObjects]->text, "1");
  };
  ClickButton(items->itemButton, 0);
  ASSERT_EQ(items->itemCount, 1);
  EXPECT_EQ(items->items[0], mid);
  EXPECT_EQ(items->items[1], nullptr);
  EXPECT_EQ(items->pendingChange.get(), 1);
  EXPECT_STREQ(items->itemButton->caption, "1:Mid");
}

TEST_F(SelectItemsTest, BonesShowObjectsFirst) {
  g_inDialog = [](SelectItemsDialog* d) {
    SelectChoice(d->type, kSelectBones);
    EXPECT_EQ(d->list->rowCount, 4);  // the objects
    ClickRow(d, "Rig");
    ASSERT_EQ(d->list->rowCount, 1);
    ClickRow(d, "Hip");
    ClickRow(d, "Hip");  // a second click does not add it twice
    EXPECT_STREQ(d->counts[kSelectBones]->text, "1");
  };
  ClickButton(items->itemButton, 0);
  ASSERT_EQ(items->itemCount, 1);
  EXPECT_EQ(items->items[0], hip);
}

TEST_F(SelectItemsTest, CancelAndClearAll) {
  AddListItem(items, sun);
  g_inDialog = [](SelectItemsDialog* d) {
    EXPECT_STREQ(d->counts[kSelectLights]->text, "1");
    ClickButton(d->clear, 0);
    EXPECT_STREQ(d->counts[kSelectLights]->text, "0");
  };
  g_result = 1;
  ClickButton(items->itemButton, 0);
  ASSERT_EQ(items->itemCount, 1);
  EXPECT_EQ(items->items[0], sun);
  g_result = 0;
  ClickButton(items->itemButton, 0);
  EXPECT_EQ(items->itemCount, 0);
}

}  // namespace
}  // namespace orvik
