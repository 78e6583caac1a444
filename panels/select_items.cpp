#include "panels/select_items.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

constexpr int kListX = 5, kListY = 5, kListWidth = 280, kRowHeight = 18;
constexpr int kTypeX = 300, kTypeY = 5;
constexpr int kClearX = 300, kClearY = 100;
constexpr int kSortX = 177, kSortBX = 387, kSortY = 296;
constexpr int kCountX = 300, kCountY = 140, kCountStep = 18;
// Most items listed per type.
constexpr int kMaxListedItems = 4096;

// Host item type of each TYPE entry.
constexpr int kHostTypeOf[4] = {kItemObject, kItemLight, kItemBone, kItemCamera};
const char* const kCountKeys[4] = {"OTEXT", "LTEXT", "BTEXT", "CTEXT"};

SelectItemsDialog* DialogOf(Control* c) {
  Panel* p = PanelOf(c);
  return p != nullptr ? static_cast<SelectItemsDialog*>(p->panelData) : nullptr;
}

int TypeIndexOf(ItemHandle item) {
  switch (HostItemType(item)) {
    case kItemLight:
      return kSelectLights;
    case kItemBone:
      return kSelectBones;
    case kItemCamera:
      return kSelectCameras;
    default:
      return kSelectObjects;
  }
}

void ShowCounts(SelectItemsDialog* d) {
  int counts[4] = {0, 0, 0, 0};
  for (ItemHandle item : d->chosen) ++counts[TypeIndexOf(item)];
  for (int t = 0; t < 4; ++t) {
    if (d->counts[t] != nullptr) SetControlTextFormatted(d->counts[t], 0, "%d", counts[t]);
  }
}

void RowClicked(Control* c) {
  SelectItemsDialog* d = DialogOf(c);
  if (d != nullptr) ClickSelectableRow(d, d->list->lastSelected);
}

void TypeChosen(Control* c) {
  SelectItemsDialog* d = DialogOf(c);
  if (d != nullptr) ShowSelectableType(d, d->type->selection.get());
}

void SortChosen(Control* c) {
  SelectItemsDialog* d = DialogOf(c);
  if (d == nullptr) return;
  d->sortedByName = c == d->sortByName;
  ListSelectableItems(d);
}

void ClearClicked(Control* c) {
  if (SelectItemsDialog* d = DialogOf(c)) ClearSelectedItems(d);
}

}  // namespace

SelectItemsDialog* BuildSelectItemsDialog(ItemListControl* c) {
  if (c == nullptr) return nullptr;
  SelectItemsDialog* d = new (std::nothrow) SelectItemsDialog;
  if (d == nullptr) return nullptr;
  d->target = c;
  d->maxItems = c->maxItems < 1 ? 1 : (c->maxItems > ItemListControl::kMaxItems ? ItemListControl::kMaxItems
                                                                               : c->maxItems);
  for (int i = 0; i < c->itemCount && i < ItemListControl::kMaxItems; ++i) {
    if (c->items[i] != nullptr) d->chosen.push_back(c->items[i]);
  }
  Panel* p = d->panel = CreatePanel("Select Item", nullptr, 0);
  if (p == nullptr) {
    delete d;
    return nullptr;
  }
  p->panelData = d;
  d->list = AddListControl("ITEMLB", kListX, kListY, p);
  d->type = AddChoiceControl("TYPE", kTypeX, kTypeY, p);
  d->clear = AddButtonControl("CLEARBUTTON", kClearX, kClearY, p);
  d->sortByName = AddChoiceControl("SORT", kSortX, kSortY, p);
  d->hostOrder = AddChoiceControl("SORTB", kSortBX, kSortY, p);
  bool ok = d->list && d->type && d->clear && d->sortByName && d->hostOrder;
  for (int t = 0; t < 4 && ok; ++t) {
    d->counts[t] = AddLabelControl(kCountKeys[t], kCountX, kCountY + t * kCountStep, p);
    ok = d->counts[t] != nullptr;
  }
  if (!ok) {
    DestroySelectItemsDialog(d);
    return nullptr;
  }
  d->list->width = kListWidth;
  d->list->rowHeight = kRowHeight;
  d->list->maxSelected = 1;
  d->list->valueHook = RowClicked;
  const char* types[] = {"Objects", "Lights", "Bones", "Cameras"};
  SetChoiceLabels(d->type, types, 4);
  d->type->valueHook = TypeChosen;
  CopyText(d->clear->caption, "Clear All");
  d->clear->clickHook = ClearClicked;
  const char* byName[] = {"Sorted By Name"};
  const char* byHost[] = {"LightWave Order"};
  SetChoiceLabels(d->sortByName, byName, 1);
  SetChoiceLabels(d->hostOrder, byHost, 1);
  d->sortByName->valueHook = SortChosen;
  d->hostOrder->valueHook = SortChosen;

  // Start on the type of the first chosen item.
  const int start = d->chosen.empty() ? kSelectObjects : TypeIndexOf(d->chosen.front());
  d->type->selection = start;
  ShowSelectableType(d, start);
  ShowCounts(d);
  return d;
}

void DestroySelectItemsDialog(SelectItemsDialog* d) {
  if (d == nullptr) return;
  if (d->panel != nullptr) {
    d->panel->panelData = nullptr;
    DestroyPanel(d->panel);
  }
  delete d;
}

void ListSelectableItems(SelectItemsDialog* d) {
  if (d == nullptr) return;
  const ToolkitHost& host = GetToolkitHost();
  d->listed.clear();
  const bool objectsForBones = d->shownType == kSelectBones && d->boneObject == nullptr;
  const int hostType = objectsForBones ? kItemObject : kHostTypeOf[d->shownType];
  ItemHandle owner = d->shownType == kSelectBones ? d->boneObject : nullptr;
  if (host.firstItem != nullptr && host.nextItem != nullptr) {
    for (ItemHandle item = host.firstItem(hostType, owner);
         item != nullptr && static_cast<int>(d->listed.size()) < kMaxListedItems; item = host.nextItem(item)) {
      d->listed.push_back(item);
    }
  }
  if (d->sortedByName) {
    std::stable_sort(d->listed.begin(), d->listed.end(), [](ItemHandle a, ItemHandle b) {
      return std::strcmp(HostItemName(a), HostItemName(b)) < 0;
    });
  }
  // The list window holds at most its row limit.
  if (static_cast<int>(d->listed.size()) > ListControl::kMaxRows) d->listed.resize(ListControl::kMaxRows);
  std::vector<std::string> rows;
  rows.reserve(d->listed.size());
  for (ItemHandle item : d->listed) rows.emplace_back(HostItemName(item));
  ClearListSelection(d->list);
  SetListRows(d->list, rows);
}

void ShowSelectableType(SelectItemsDialog* d, int typeIndex) {
  if (d == nullptr || typeIndex < 0 || typeIndex > kSelectCameras) return;
  d->shownType = typeIndex;
  d->boneObject = nullptr;
  ListSelectableItems(d);
}

void ClickSelectableRow(SelectItemsDialog* d, int row) {
  if (d == nullptr || row < 0 || row >= static_cast<int>(d->listed.size())) return;
  ItemHandle item = d->listed[static_cast<size_t>(row)];
  if (d->shownType == kSelectBones && d->boneObject == nullptr) {
    // An object row of the bone type: list its bones.
    d->boneObject = item;
    ListSelectableItems(d);
    return;
  }
  if (std::find(d->chosen.begin(), d->chosen.end(), item) != d->chosen.end()) return;
  if (static_cast<int>(d->chosen.size()) + 1 <= d->maxItems) {
    d->chosen.push_back(item);
  } else {
    d->chosen.clear();
    d->chosen.push_back(item);
  }
  ShowCounts(d);
}

void ClearSelectedItems(SelectItemsDialog* d) {
  if (d == nullptr) return;
  d->chosen.clear();
  ShowCounts(d);
}

void AcceptSelectedItems(SelectItemsDialog* d) {
  if (d == nullptr) return;
  ItemListControl* c = d->target;
  int n = static_cast<int>(d->chosen.size());
  const int limit = c->maxItems < 1 ? 0 : (c->maxItems > ItemListControl::kMaxItems ? ItemListControl::kMaxItems
                                                                                   : c->maxItems);
  if (n > limit) n = limit;
  for (int i = 0; i < n; ++i) c->items[i] = d->chosen[static_cast<size_t>(i)];
  c->itemCount = n;
  c->items[n] = nullptr;
  char text[ItemListControl::kMaxLabel + 1];
  ItemListDisplayText(c, text, sizeof text);
  if (c->itemButton != nullptr) CopyText(c->itemButton->caption, text);
  RefreshControl(c, kRefreshAll);
  NotifyValueChanged(c);
}

void SelectItems(Control* itemList) {
  ItemListControl* c = AsItemList(itemList);
  if (c == nullptr) return;
  SelectItemsDialog* d = BuildSelectItemsDialog(c);
  if (d == nullptr) return;
  if (OpenModalPanel(d->panel, PanelOf(c)) == 0) AcceptSelectedItems(d);
  DestroySelectItemsDialog(d);
}

}  // namespace orvik
