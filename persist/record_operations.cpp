#include "persist/record_operations.h"

#include <cstring>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/image_control.h"
#include "panels/item_list_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/panel.h"
#include "panels/string_control.h"
#include "panels/toolkit_host.h"
#include "persist/record_text.h"

namespace orvik {

namespace {

// Frame whose file name an image record stores.
constexpr int kImageRecordFrame = 1;

// ---- scene item names --------------------------------------------------------

void DescribeOne(ItemHandle item, int type, ItemName& out) {
  out = ItemName{};
  out.type = type;
  const ToolkitHost& host = GetToolkitHost();
  int clone = 1;
  int count = 1;
  if (host.describeItem != nullptr) {
    host.describeItem(item, out.name, sizeof out.name, &clone, &count);
  } else {
    CopyText(out.name, HostItemName(item));
  }
  out.cloneIndex = clone < 1 ? 1 : clone;
  out.count = count < 1 ? 1 : count;
}

void NameFromPending(const PendingItemName& p, ItemReference& out) {
  out = ItemReference{};
  out.item.type = p.type;
  out.item.cloneIndex = p.clone;
  out.item.count = p.count;
  CopyText(out.item.name, p.name);
  if (p.type == kItemBone && p.parentName[0] != '\0') {
    out.hasParent = true;
    out.parent.type = kItemObject;
    out.parent.cloneIndex = p.parentClone;
    out.parent.count = p.parentCount;
    CopyText(out.parent.name, p.parentName);
  }
}

void PendingFromName(const ItemReference& ref, PendingItemName& out) {
  out = PendingItemName{};
  CopyText(out.name, ref.item.name);
  out.clone = static_cast<int>(ref.item.cloneIndex);
  out.count = static_cast<int>(ref.item.count);
  out.type = ref.item.type;
  if (ref.hasParent) {
    CopyText(out.parentName, ref.parent.name);
    out.parentClone = static_cast<int>(ref.parent.cloneIndex);
    out.parentCount = static_cast<int>(ref.parent.count);
  }
}

// ---- NUM -----------------------------------------------------------------------

long SaveNumeric(Control* c, SaveState* state, int depth) {
  auto* n = AsNumeric(c);
  if (n == nullptr) return 0;
  NumRecord r;
  r.value = n->value.get();
  r.animateMode = n->animateMode.get();
  r.linearRate = n->linearRate;
  ItemHandle refs[2] = {n->reference1.get(), n->reference2.get()};
  const PendingItemName* pending[2] = {&n->pendingReference1, &n->pendingReference2};
  for (int i = 0; i < 2; ++i) {
    if (refs[i] != nullptr) {
      r.hasReference[i] = DescribeItemReference(refs[i], r.reference[i]);
    } else if (pending[i]->IsSet()) {
      // Read but not resolved yet (copied before the after-load work ran).
      NameFromPending(*pending[i], r.reference[i]);
      r.hasReference[i] = true;
    }
  }
  return WriteNumRecord(state, depth, c->key.c_str(), r);
}

const char* LoadNumeric(Control* c, LoadState* state) {
  auto* n = AsNumeric(c);
  if (n == nullptr) return nullptr;
  NumRecord r;
  r.value = n->value.get();
  r.animateMode = n->animateMode.get();
  r.linearRate = n->linearRate;
  r.minimum = n->minimum;
  r.maximum = n->maximum;
  r.clampLow = n->clampLow != 0;
  r.clampHigh = n->clampHigh != 0;
  r.integerDisplay = n->displayMode == kDisplayInteger;
  const char* message = ReadNumRecord(state, r);
  // Whatever was read stays, also after a failure.
  n->value = r.value;
  n->animateMode = r.animateMode;
  n->linearRate = r.linearRate;
  n->reference1 = nullptr;
  n->reference2 = nullptr;
  n->pendingReference1 = PendingItemName{};
  n->pendingReference2 = PendingItemName{};
  if (r.hasReference[0]) PendingFromName(r.reference[0], n->pendingReference1);
  if (r.hasReference[1]) PendingFromName(r.reference[1], n->pendingReference2);
  return message;
}

// ---- COLOR ---------------------------------------------------------------------

long SaveColor(Control* c, SaveState* state, int depth) {
  auto* k = As<ColorControl>(c);
  if (k == nullptr) return 0;
  ColorRecord r{k->red.get(), k->green.get(), k->blue.get()};
  return WriteColorRecord(state, depth, c->key.c_str(), r);
}

const char* LoadColor(Control* c, LoadState* state) {
  auto* k = As<ColorControl>(c);
  if (k == nullptr) return nullptr;
  ColorRecord r{k->red.get(), k->green.get(), k->blue.get()};
  const char* message = ReadColorRecord(state, r);
  k->red = r.red;
  k->green = r.green;
  k->blue = r.blue;
  return message;
}

// ---- STRING --------------------------------------------------------------------

long SaveString(Control* c, SaveState* state, int depth) {
  auto* s = As<StringControl>(c);
  if (s == nullptr) return 0;
  StringRecord r;
  CopyText(r.text, s->text);
  return WriteStringRecord(state, depth, c->key.c_str(), r);
}

const char* LoadString(Control* c, LoadState* state) {
  auto* s = As<StringControl>(c);
  if (s == nullptr) return nullptr;
  StringRecord r;
  CopyText(r.text, s->text);
  const char* message = ReadStringRecord(state, r);
  SetStringText(s, r.text);
  return message;
}

// ---- IMNAME --------------------------------------------------------------------

long SaveImage(Control* c, SaveState* state, int depth) {
  auto* k = As<ImageControl>(c);
  if (k == nullptr) return 0;
  const ToolkitHost& host = GetToolkitHost();
  ImageHandle image = k->image.get();
  if (image == nullptr) return 0;
  if (host.imageKnown != nullptr && host.imageKnown(image) == 0) {
    k->image = nullptr;  // gone from the host's image list
    return 0;
  }
  ImageNameRecord r;
  CopyText(r.imageName, host.imageName != nullptr ? host.imageName(image) : "");
  const char* file =
      host.imageFileName != nullptr ? host.imageFileName(image, kImageRecordFrame) : nullptr;
  const char* content = host.contentDirectory != nullptr ? host.contentDirectory() : nullptr;
  MakeContentRelative(file, content, r.fileName, sizeof r.fileName);
  return WriteImageNameRecord(state, depth, c->key.c_str(), r);
}

const char* LoadImage(Control* c, LoadState* state) {
  auto* k = As<ImageControl>(c);
  if (k == nullptr) return nullptr;
  ImageNameRecord r;
  const char* message = ReadImageNameRecord(state, r);
  if (r.imageName[0] != '\0' || r.fileName[0] != '\0') {
    ImageHandle image = FindOrLoadImage(r.imageName, r.fileName, true);
    if (image != nullptr) k->image = image;
  }
  return message;
}

// ---- RADIO ---------------------------------------------------------------------

long SaveChoice(Control* c, SaveState* state, int depth) {
  auto* k = As<ChoiceControl>(c);
  if (k == nullptr) return 0;
  RadioRecord r{k->selection.get(), k->choiceCount};
  return WriteRadioRecord(state, depth, c->key.c_str(), r);
}

const char* LoadChoice(Control* c, LoadState* state) {
  auto* k = As<ChoiceControl>(c);
  if (k == nullptr) return nullptr;
  RadioRecord r{k->selection.get(), k->choiceCount};
  const char* message = ReadRadioRecord(state, r);
  k->selection = r.selection;
  return message;
}

// ---- LISTBOX -------------------------------------------------------------------

long SaveList(Control* c, SaveState* state, int depth) {
  auto* k = As<ListControl>(c);
  if (k == nullptr) return 0;
  ListBoxRecord r;
  std::memcpy(r.selected, k->selected, sizeof r.selected);
  return WriteListBoxRecord(state, depth, c->key.c_str(), r);
}

const char* LoadList(Control* c, LoadState* state) {
  auto* k = As<ListControl>(c);
  if (k == nullptr) return nullptr;
  ListBoxRecord r;
  const char* message = ReadListBoxRecord(state, c->key.c_str(), r);
  int count = 0;
  for (int row = 0; row < ListControl::kMaxRows; ++row) {
    k->selected[row] = r.selected[row] != 0 ? 1 : 0;
    count += k->selected[row];
  }
  k->selectedCount = count;
  return message;
}

// ---- ITEM ----------------------------------------------------------------------

const char* PoolText(const ItemListControl* k, int offset) {
  if (offset < 0 || offset >= ItemListControl::kPendingPoolBytes) return "";
  // The pool's names are terminated; the last byte of the pool stays zero.
  return k->pendingPool + offset;
}

void ItemFromPending(const ItemListControl* k, const PendingItemEntry& e, ItemReference& out) {
  out = ItemReference{};
  out.item.type = e.type;
  out.item.cloneIndex = e.clone;
  out.item.count = e.count;
  CopyText(out.item.name, PoolText(k, e.nameOffset));
  if (e.parentOffset >= 0) {
    out.hasParent = true;
    out.parent.cloneIndex = e.parentClone;
    out.parent.count = e.parentCount;
    CopyText(out.parent.name, PoolText(k, e.parentOffset));
  }
}

long SaveItemList(Control* c, SaveState* state, int depth) {
  auto* k = As<ItemListControl>(c);
  if (k == nullptr) return 0;
  CleanItemList(k);
  ItemRecord r;
  int count = k->itemCount;
  if (count > ItemListControl::kMaxItems) count = ItemListControl::kMaxItems;
  for (int i = 0; i < count; ++i) {
    ItemReference ref;
    if (DescribeItemReference(k->items[i], ref)) r.entries.push_back(ref);
  }
  // Names read but not resolved yet (copied before the after-load work ran).
  size_t pendingCount = k->pending.size();
  if (pendingCount > static_cast<size_t>(ItemListControl::kMaxItems)) {
    pendingCount = ItemListControl::kMaxItems;
  }
  for (size_t i = 0; i < pendingCount; ++i) {
    ItemReference ref;
    ItemFromPending(k, k->pending[i], ref);
    r.entries.push_back(ref);
  }
  return WriteItemRecord(state, depth, c->key.c_str(), r);
}

const char* LoadItemList(Control* c, LoadState* state) {
  auto* k = As<ItemListControl>(c);
  if (k == nullptr) return nullptr;
  k->itemCount = 0;
  k->items[0] = nullptr;
  ClearPendingItemNames(k);
  ItemRecord r;
  const char* message = ReadItemRecord(state, r);
  for (const ItemReference& ref : r.entries) {
    const ItemName& parent = ref.parent;
    if (!AddPendingItemName(k, ref.item.name, static_cast<int>(ref.item.cloneIndex),
                            static_cast<int>(ref.item.count), ref.item.type,
                            ref.hasParent ? parent.name : nullptr,
                            static_cast<int>(parent.cloneIndex), static_cast<int>(parent.count))) {
      break;
    }
  }
  return message;
}

// ---- BUTTON --------------------------------------------------------------------

long SaveButton(Control* c, SaveState* state, int depth) {
  auto* b = As<ButtonControl>(c);
  if (b == nullptr) return 0;
  return WriteButtonRecord(state, depth, c->key.c_str(), ButtonRecord{b->state.get()});
}

const char* LoadButton(Control* c, LoadState* state) {
  auto* b = As<ButtonControl>(c);
  if (b == nullptr) return nullptr;
  ButtonRecord r{b->state.get()};
  const char* message = ReadButtonRecord(state, r);
  b->state = r.state;
  return message;
}

template <class Save, class Load>
void Fill(Control* c, Save save, Load load) {
  if (c->ops.saveRecord == nullptr) c->ops.saveRecord = save;
  if (c->ops.loadRecord == nullptr) c->ops.loadRecord = load;
}

}  // namespace

bool DescribeItemReference(ItemHandle item, ItemReference& out) {
  out = ItemReference{};
  if (item == nullptr) return false;
  int type = HostItemType(item);
  if (type < kItemObject || type > kItemBone) return false;
  DescribeOne(item, type, out.item);
  if (type == kItemBone) {
    const ToolkitHost& host = GetToolkitHost();
    ItemHandle owner = host.boneOwner != nullptr ? host.boneOwner(item) : nullptr;
    if (owner != nullptr) {
      DescribeOne(owner, kItemObject, out.parent);
      out.hasParent = true;
    }
  }
  return true;
}

void InstallRecordOperations(Control* c) {
  if (c == nullptr) return;
  switch (c->kind) {
    case kKindNumeric:
      Fill(c, SaveNumeric, LoadNumeric);
      break;
    case kKindColor: Fill(c, SaveColor, LoadColor); break;
    case kKindString: Fill(c, SaveString, LoadString); break;
    case kKindImage: Fill(c, SaveImage, LoadImage); break;
    case kKindChoice: Fill(c, SaveChoice, LoadChoice); break;
    case kKindList: Fill(c, SaveList, LoadList); break;
    case kKindItemList:
      Fill(c, SaveItemList, LoadItemList);
      break;
    case kKindButton: Fill(c, SaveButton, LoadButton); break;
    default: break;
  }
}

void InstallPanelRecordOperations(Panel* panel) {
  for (Control* c = panel; c != nullptr; c = c->next) InstallRecordOperations(c);
}

}  // namespace orvik
