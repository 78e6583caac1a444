// The item list (kind 15): up to 4096 scene items chosen with the Select
// Item panel, with their saved names pending until a load is finished.
#pragma once

#include <cstddef>
#include <vector>

#include "panels/control.h"

namespace orvik {

struct PendingItemEntry {
  int nameOffset = 0;  // place of the name in the pool
  int clone = 1;
  int count = 1;
  int type = 0;
  int parentOffset = -1;  // for a bone: its object's name, else -1
  int parentClone = 1;
  int parentCount = 1;
};

struct ItemListControl : Control {
  static constexpr int kKind = kKindItemList;
  static constexpr int kMaxItems = 4096;
  static constexpr int kPendingPoolBytes = 4096;
  static constexpr size_t kMaxLabel = 255;

  ItemHandle items[kMaxItems + 1] = {};  // ends with a null entry
  int itemCount = 0;
  int maxItems = kMaxItems;  // 1 for a single-item control
  int singleItem = 0;
  int allowedTypes = 0xF;  // bit per item type (object, light, camera, bone)
  int allowAllLights = 0;
  int width = 190;
  char label[kMaxLabel + 1] = {};

  // Names read from a record, resolved by afterLoad.
  char pendingPool[kPendingPoolBytes] = {};
  int pendingPoolUsed = 0;
  std::vector<PendingItemEntry> pending;  // at most kMaxItems entries
  int pendingCount = 0;                   // pending.size(), kept for readers

  ButtonControl* itemButton = nullptr;  // "%s_button"
  ControlHook selectHook = nullptr;     // the Select Item panel (filled later)
};

inline ItemListControl* AsItemList(Control* c) { return As<ItemListControl>(c); }

// Appends an item when there is room and it is not already present.
bool AddListItem(ItemListControl* c, ItemHandle item);
// Removes empties, duplicates, items the host names "(none)", and lights that
// are not distant unless all lights are allowed. Returns the new count.
int CleanItemList(ItemListControl* c);
// Adds a pending name (with its parent's for a bone); false when the pool or
// the entry table is full.
bool AddPendingItemName(ItemListControl* c, const char* name, int clone, int count, int type,
                        const char* parentName, int parentClone, int parentCount);
void ClearPendingItemNames(ItemListControl* c);
// The display text: "1:Name 2:Name ..." or "(none)".
size_t ItemListDisplayText(const ItemListControl* c, char* out, size_t capacity);

}  // namespace orvik
