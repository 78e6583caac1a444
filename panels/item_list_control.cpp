#include "panels/item_list_control.h"

#include <cstring>
#include <new>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/select_items.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

constexpr int kDistantLightType = 2;

void ResetItemList(Control* c) {
  ItemListControl* l = AsItemList(c);
  if (l == nullptr) return;
  l->itemCount = 0;
  l->items[0] = nullptr;
  ClearPendingItemNames(l);
}

void CopyItemList(const Control* source, Control* destination) {
  const ItemListControl* s = As<ItemListControl>(source);
  ItemListControl* d = AsItemList(destination);
  if (s == nullptr || d == nullptr) return;
  int n = s->itemCount;
  if (n < 0) n = 0;
  if (n > ItemListControl::kMaxItems) n = ItemListControl::kMaxItems;
  std::memcpy(d->items, s->items, sizeof(ItemHandle) * static_cast<size_t>(n));
  d->itemCount = n;
  d->items[n] = nullptr;
}

int ListItemListItems(Control* c, UsedItemList* out) {
  ItemListControl* l = AsItemList(c);
  if (l == nullptr || out == nullptr) return 0;
  const int before = out->count;
  for (int i = 0; i < l->itemCount && i < ItemListControl::kMaxItems; ++i) {
    if (l->items[i] != nullptr && !out->Add(l->items[i])) break;
  }
  return out->count - before;
}

void ChangeItemListItems(Control* c, const ItemIdPair* pairs) {
  ItemListControl* l = AsItemList(c);
  if (l == nullptr) return;
  for (int i = 0; i < l->itemCount && i < ItemListControl::kMaxItems; ++i) {
    l->items[i] = MapItemId(l->items[i], pairs);
  }
}

const char* PoolName(const ItemListControl* l, int offset) {
  if (offset < 0 || offset >= ItemListControl::kPendingPoolBytes) return "";
  return l->pendingPool + offset;
}

void ItemListAfterLoad(Control* c) {
  ItemListControl* l = AsItemList(c);
  if (l == nullptr || l->pending.empty()) return;
  const ToolkitHost& host = GetToolkitHost();
  l->itemCount = 0;
  const int pendingCount = static_cast<int>(l->pending.size());
  for (int i = 0; i < pendingCount && i < ItemListControl::kMaxItems; ++i) {
    const PendingItemEntry& e = l->pending[static_cast<size_t>(i)];
    ItemHandle item = nullptr;
    if (host.findItem != nullptr) {
      if (e.type == kItemBone) {
        ItemHandle object = e.parentOffset >= 0 ? host.findItem(PoolName(l, e.parentOffset), kItemObject,
                                                                nullptr, e.parentClone, e.parentCount)
                                                : nullptr;
        if (object != nullptr) item = host.findItem(PoolName(l, e.nameOffset), kItemBone, object, e.clone, e.count);
      } else {
        item = host.findItem(PoolName(l, e.nameOffset), e.type, nullptr, e.clone, e.count);
      }
    }
    if (item != nullptr) l->items[l->itemCount++] = item;
  }
  l->items[l->itemCount] = nullptr;
  ClearPendingItemNames(l);
  CleanItemList(l);
  if (l->itemButton != nullptr) ItemListDisplayText(l, l->itemButton->caption, sizeof l->itemButton->caption);
  RefreshControl(l, kRefreshAll);
}

// The "%s_button" opens the Select Item panel through the list's hook.
void ItemButtonClicked(Control* button) {
  ItemListControl* l = AsItemList(button != nullptr ? button->parentControl : nullptr);
  if (l != nullptr && l->selectHook != nullptr && !l->ghosted.get()) l->selectHook(l);
}

// Stores a name in the pool; -1 when it does not fit.
int PoolAdd(ItemListControl* l, const char* name) {
  const size_t len = name != nullptr ? std::strlen(name) : 0;
  if (static_cast<size_t>(l->pendingPoolUsed) + len + 1 > ItemListControl::kPendingPoolBytes) return -1;
  const int offset = l->pendingPoolUsed;
  if (len > 0) std::memcpy(l->pendingPool + offset, name, len);
  l->pendingPool[offset + static_cast<int>(len)] = '\0';
  l->pendingPoolUsed += static_cast<int>(len) + 1;
  return offset;
}

}  // namespace

bool AddListItem(ItemListControl* c, ItemHandle item) {
  if (c == nullptr || item == nullptr) return false;
  const int limit = c->maxItems < ItemListControl::kMaxItems ? (c->maxItems < 1 ? 1 : c->maxItems)
                                                               : ItemListControl::kMaxItems;
  for (int i = 0; i < c->itemCount; ++i) {
    if (c->items[i] == item) return false;
  }
  if (c->itemCount >= limit) return false;
  c->items[c->itemCount++] = item;
  c->items[c->itemCount] = nullptr;
  return true;
}

int CleanItemList(ItemListControl* c) {
  if (c == nullptr) return 0;
  const ToolkitHost& host = GetToolkitHost();
  if (c->itemCount < 0) c->itemCount = 0;
  if (c->itemCount > ItemListControl::kMaxItems) c->itemCount = ItemListControl::kMaxItems;
  int kept = 0;
  for (int i = 0; i < c->itemCount; ++i) {
    ItemHandle item = c->items[i];
    if (item == nullptr) continue;
    bool duplicate = false;
    for (int k = 0; k < kept && !duplicate; ++k) duplicate = c->items[k] == item;
    if (duplicate) continue;
    if (std::strcmp(HostItemName(item), "(none)") == 0) continue;
    if (!c->allowAllLights && HostItemType(item) == kItemLight && host.lightType != nullptr &&
        host.lightType(item) != kDistantLightType) {
      continue;
    }
    c->items[kept++] = item;
  }
  c->itemCount = kept;
  c->items[kept] = nullptr;
  return kept;
}

bool AddPendingItemName(ItemListControl* c, const char* name, int clone, int count, int type,
                        const char* parentName, int parentClone, int parentCount) {
  if (c == nullptr || static_cast<int>(c->pending.size()) >= ItemListControl::kMaxItems) return false;
  const int used = c->pendingPoolUsed;
  const int nameOffset = PoolAdd(c, name);
  if (nameOffset < 0) return false;
  int parentOffset = -1;
  if (parentName != nullptr && parentName[0] != '\0') {
    parentOffset = PoolAdd(c, parentName);
    if (parentOffset < 0) {
      c->pendingPoolUsed = used;  // take back the half-stored entry
      return false;
    }
  }
  c->pending.emplace_back();
  c->pendingCount = static_cast<int>(c->pending.size());
  PendingItemEntry& e = c->pending.back();
  e.nameOffset = nameOffset;
  e.clone = clone;
  e.count = count;
  e.type = type;
  e.parentOffset = parentOffset;
  e.parentClone = parentClone;
  e.parentCount = parentCount;
  return true;
}

void ClearPendingItemNames(ItemListControl* c) {
  if (c == nullptr) return;
  c->pending.clear();
  c->pendingCount = 0;
  c->pendingPoolUsed = 0;
  c->pendingPool[0] = '\0';
}

size_t ItemListDisplayText(const ItemListControl* c, char* out, size_t capacity) {
  if (out == nullptr || capacity == 0) return 0;
  if (c == nullptr || c->itemCount <= 0) return CopyText(out, capacity, "(none)");
  size_t used = 0;
  out[0] = '\0';
  for (int i = 0; i < c->itemCount && i < ItemListControl::kMaxItems && used + 1 < capacity; ++i) {
    used += FormatText(out + used, capacity - used, "%s%ld:%s", i > 0 ? " " : "", static_cast<long>(i + 1),
                       HostItemName(c->items[i]));
  }
  return used;
}

ItemListControl* AddItemControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ItemListControl* c = new (std::nothrow) ItemListControl;
  ButtonControl* button = new (std::nothrow) ButtonControl;
  if (c == nullptr || button == nullptr) {
    delete c;
    delete button;
    return nullptr;
  }
  InitControlRecord(c, kKindItemList, key);
  c->owner = PanelOf(anchor);
  ResetItemList(c);
  c->ops.reset = ResetItemList;
  c->ops.copyValue = CopyItemList;
  c->ops.afterLoad = ItemListAfterLoad;
  c->ops.listUsedItems = ListItemListItems;
  c->ops.changeItemIds = ChangeItemListItems;
  c->x = x;
  c->y = y;
  CopyText(c->label, c->key.c_str());
  InitSubControl(c, button, kKindButton, "_button");
  CopyText(button->caption, "(none)");
  button->clickHook = ItemButtonClicked;
  AttachSubControl(c, button);
  c->itemButton = button;
  c->selectHook = SelectItems;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
