// The record every panel is made of: a common header (validity words,
// rectangle, chain link, operation table, owner, key, kind, flags), the
// control part (ghosted, hidden, place, focus group, hooks) and then the
// fields of the kind, which live in the derived structs of the kind headers
// (numeric_control.h, button_control.h, ...).
//
// A panel is a chain: the Panel header record first, then one record per
// control in creation order. Generic work (save, load, copy, collecting and
// renumbering items, refresh, focus, idle work, teardown) walks the chain and
// calls each record's operation when it has one; an empty slot means the
// record does not take part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "panels/shared_value.h"

namespace orvik {

// Scene items and host images are opaque host handles.
using ItemHandle = void*;
using ImageHandle = void*;

struct Panel;
struct Control;
struct LabelControl;
struct ButtonControl;

// Save and load states of the settings text. They are defined by the
// settings-persistence layer; the toolkit only passes them through.
struct SaveState;
struct LoadState;

// Kind numbers of the records.
enum ControlKind : int {
  kKindLabel = 2,
  kKindButton = 3,  // push buttons and check buttons
  kKindColor = 4,
  kKindNumeric = 6,
  kKindString = 7,
  kKindChoice = 10,
  kKindImage = 12,
  kKindBitmap = 13,
  kKindGraph = 14,
  kKindItemList = 15,
  kKindList = 17,
  kKindCutPaste = 23,
  kKindPageSelector = 27,
  kKindUnset = 99,
  kKindPanel = 222,
};

// Bits of the refresh flags.
enum RefreshFlags : int {
  kRefreshSubControls = 2,  // state of the control's sub-controls
  kRefreshLayout = 4,       // create or move windows and sub-controls
  kRefreshDraw = 16,
  kRefreshAll = 31,
};

// handleEvent's answer when it handled the panel's current message.
constexpr int kEventHandled = 2;

// The private message posted to a panel's window when a value changed.
constexpr unsigned kMessageValueChanged = 34901;  // 0x8855

// Validity words of a live record, overwritten when it is destroyed.
constexpr uint32_t kRecordValidWord1 = 0x0C7A11FEu;
constexpr uint32_t kRecordValidWord2 = 0x5EC0DE42u;
constexpr uint32_t kRecordDeadWord = 0xDEADDEADu;

// The upper-case key that names a control in settings text, panels and clips.
struct ControlKey {
  static constexpr size_t kMaxChars = 71;
  static constexpr const char* kUnsetKey = "BAD_ID!";

  char text[kMaxChars + 1];

  ControlKey();
  void Set(const char* key);  // cut to kMaxChars
  const char* c_str() const { return text; }
  bool Equals(const char* key) const;  // exact comparison
};

// A list of scene items that listUsedItems appends to; never grows past its
// capacity (Add returns false when it is full).
struct UsedItemList {
  ItemHandle* items = nullptr;
  int count = 0;
  int capacity = 0;

  bool Add(ItemHandle item);
};

// One old/new pair of the host's change-ID list; a list ends with an entry
// whose oldId is null.
struct ItemIdPair {
  ItemHandle oldId;
  ItemHandle newId;
};

// Returns the new handle for item when it appears as an old handle in pairs,
// else item itself. A null item stays null.
ItemHandle MapItemId(ItemHandle item, const ItemIdPair* pairs);

// The operation table, in slot order. Each slot may be empty.
struct ControlOps {
  void (*refresh)(Control* c, int flags) = nullptr;
  void (*changed)(Control* c) = nullptr;
  int (*idle)(Control* c) = nullptr;  // non-zero while more work remains
  void (*destroyWindows)(Control* c) = nullptr;
  long (*saveRecord)(Control* c, SaveState* state, int depth) = nullptr;
  const char* (*loadRecord)(Control* c, LoadState* state) = nullptr;  // null on success
  void (*takeFocus)(Control* c) = nullptr;
  void (*copyValue)(const Control* source, Control* destination) = nullptr;
  void (*reset)(Control* c) = nullptr;
  void (*release)(Control* c) = nullptr;
  void (*afterLoad)(Control* c) = nullptr;
  int (*listUsedItems)(Control* c, UsedItemList* out) = nullptr;
  void (*changeItemIds)(Control* c, const ItemIdPair* pairs) = nullptr;
  int (*handleEvent)(Control* c) = nullptr;  // kEventHandled when handled
};

using ControlHook = void (*)(Control* c);

struct Control {
  // Common header.
  uint32_t validWord1 = kRecordValidWord1;
  uint32_t validWord2 = kRecordValidWord2;
  int left = -1, top = -1, right = -1, bottom = -1;
  Control* next = nullptr;
  ControlOps ops;
  Panel* owner = nullptr;
  ControlKey key;
  int kind = kKindUnset;
  SharedValue<int> hasWindow{0};
  SharedValue<int> active{1};
  SharedValue<int> persistent{1};
  SharedValue<int> pendingChange{0};

  // Control part.
  SharedValue<int> ghosted{0};
  SharedValue<int> hidden{0};
  int x = 200;
  int y = 50;
  int focusGroup = 0;
  ControlHook notifyHook = nullptr;
  ControlHook valueHook = nullptr;  // called after the user changed the value
  void (*setHidden)(Control* c, int hidden) = nullptr;

  // Sub-controls (caption, buttons) owned by this control; not in the chain.
  std::vector<Control*> subControls;
  Control* parentControl = nullptr;  // set on sub-controls
  // The panel builder's own data for its hooks; the toolkit never touches it.
  void* userData = nullptr;
  // The window layer's data for this control's child windows.
  void* windowData = nullptr;

  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  bool IsValid() const {
    return validWord1 == kRecordValidWord1 && validWord2 == kRecordValidWord2;
  }
};

// Chain iteration over the controls of a panel (the header excluded):
//   for (Control* c : Controls(panel)) ...
struct ControlRange {
  Control* first;
  struct Iterator {
    Control* c;
    Control* operator*() const { return c; }
    Iterator& operator++() {
      c = c->next;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return c != o.c; }
  };
  Iterator begin() const { return {first}; }
  Iterator end() const { return {nullptr}; }
};

// Typed access to a record: null when c is null or of another kind.
template <class T>
T* As(Control* c) {
  return (c != nullptr && c->kind == T::kKind) ? static_cast<T*>(c) : nullptr;
}
template <class T>
const T* As(const Control* c) {
  return (c != nullptr && c->kind == T::kKind) ? static_cast<const T*>(c) : nullptr;
}

// Hides or shows a control: the control's setHidden when it has one, else the
// generic rule (hiding destroys its windows and clears hasWindow, showing
// sets hasWindow and lays it out again; sub-controls follow).
void SetControlHidden(Control* c, int hidden);

// Marks the control changed by the user: pendingChange, value hook, and the
// private change message to the panel's window (when postMessage).
void NotifyValueChanged(Control* c, bool postMessage = true);

}  // namespace orvik
