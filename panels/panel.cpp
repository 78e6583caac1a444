#include "panels/panel.h"

#include <cstdarg>
#include <cstring>
#include <new>
#include <vector>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/choice_control.h"
#include "panels/color_control.h"
#include "panels/cut_paste_control.h"
#include "panels/image_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel_events.h"
#include "panels/string_control.h"

namespace orvik {

namespace {

WindowBackend g_backend;
ControlHook g_saveSettingsHook = nullptr;
ControlHook g_loadSettingsHook = nullptr;
// The use-items list handed to the host; lives until the next call.
ItemHandle g_usedItems[kMaxUsedItems + 1];

void ReleasePanel(Control* c) {
  Panel* panel = AsPanel(c);
  if (panel == nullptr) return;
  for (Control* d : panel->decorations) {
    if (d == nullptr) continue;
    if (d->ops.release != nullptr) d->ops.release(d);
    delete d;
  }
  panel->decorations.clear();
}

// The record before c in its panel's chain (the header for the first one).
Control* PreviousInChain(Panel* panel, const Control* c) {
  Control* prev = panel;
  while (prev != nullptr && prev->next != c) prev = prev->next;
  return prev;
}

// Keeps page and cut/paste ranges valid when c leaves the chain: an end that
// was c moves inward, a range that was only c becomes empty.
void ForgetInRanges(Panel* panel, Control* c, Control* prev) {
  auto fix = [&](Control*& first, Control*& last) {
    if (first == nullptr) return;
    if (first == c && last == c) {
      first = last = nullptr;
      return;
    }
    if (first == c) first = c->next;
    if (last == c) last = (prev == panel) ? nullptr : prev;
    if (first == nullptr || last == nullptr) first = last = nullptr;
  };
  for (Control* r = panel->next; r != nullptr; r = r->next) {
    if (PageSelector* s = AsPageSelector(r)) {
      for (int i = 0; i < s->pageCount && i < PageSelector::kMaxPages; ++i) {
        Page& page = s->pages[i];
        for (int k = 0; k < page.rangeCount; ++k) fix(page.ranges[k].first, page.ranges[k].last);
      }
      if (s->openedAfter == c) s->openedAfter = (prev == panel) ? nullptr : prev;
    } else if (CutPasteControl* p = AsCutPaste(r)) {
      for (int k = 0; k < p->rangeCount; ++k) fix(p->ranges[k].first, p->ranges[k].last);
      if (p->openedAfter == c) p->openedAfter = (prev == panel) ? nullptr : prev;
    }
  }
  if (panel->focusedControl.get() == c) panel->focusedControl = nullptr;
}

}  // namespace

Control* Panel::lastControl() const {
  Control* c = next;
  if (c == nullptr) return nullptr;
  while (c->next != nullptr) c = c->next;
  return c;
}

void SetPanelFileHooks(ControlHook onSave, ControlHook onLoad) {
  g_saveSettingsHook = onSave;
  g_loadSettingsHook = onLoad;
}

void SetWindowBackend(const WindowBackend& backend) { g_backend = backend; }
const WindowBackend& GetWindowBackend() { return g_backend; }

void InitControlRecord(Control* c, int kind, const char* key) {
  c->kind = kind;
  c->key.Set(key != nullptr ? key : ControlKey::kUnsetKey);
}

void InitSubControl(const Control* parent, Control* sub, int kind, const char* suffix) {
  char subKey[ControlKey::kMaxChars + 1];
  FormatText(subKey, sizeof subKey, "%s%s", parent->key.c_str(), suffix);
  InitControlRecord(sub, kind, subKey);
  sub->persistent = 0;
}

Panel* CreatePanel(const char* title, void* ownerInstance, int sizeCode) {
  Panel* panel = new (std::nothrow) Panel;
  if (panel == nullptr) return nullptr;
  InitControlRecord(panel, kKindPanel, "panel");
  panel->owner = panel;
  panel->persistent = 0;
  CopyText(panel->title, title);
  CopyText(panel->blockName, title);
  panel->settingsVersion = Panel::kDefaultSettingsVersion;
  panel->ownerInstance = ownerInstance;
  panel->sizeCode = sizeCode;
  panel->placement.left = -100;
  panel->focusGroupCurrent = 1;
  panel->threadPriority = 0;
  panel->onSaveSettingsClick = g_saveSettingsHook;
  panel->onLoadSettingsClick = g_loadSettingsHook;
  panel->ops.release = ReleasePanel;
  if (g_backend.installWindowOps != nullptr) g_backend.installWindowOps(panel);
  return panel;
}

Panel* PanelOf(Control* c) {
  if (c == nullptr) return nullptr;
  if (Panel* p = AsPanel(c)) return p;
  return c->owner;
}

void AppendToChain(Control* anchor, Control* c) {
  Panel* panel = PanelOf(anchor);
  c->owner = panel;
  c->next = nullptr;
  if (panel == nullptr) return;
  Control* last = panel;
  while (last->next != nullptr) last = last->next;
  last->next = c;
  if (g_backend.installWindowOps != nullptr) g_backend.installWindowOps(c);
}

void AttachSubControl(Control* parent, Control* sub) {
  sub->owner = PanelOf(parent);
  sub->parentControl = parent;
  sub->next = nullptr;
  parent->subControls.push_back(sub);
  // Sub-buttons (the A button, choose, Copy and Paste) click like any button.
  if (sub->kind == kKindButton && sub->ops.handleEvent == nullptr) sub->ops.handleEvent = HandleButtonEvent;
  if (g_backend.installWindowOps != nullptr) g_backend.installWindowOps(sub);
}

void RefreshControl(Control* c, int flags) {
  if (c != nullptr && c->ops.refresh != nullptr) c->ops.refresh(c, flags);
}

void RemoveControl(Control* c) {
  if (c == nullptr || AsPanel(c) != nullptr) return;
  if (Control* parent = c->parentControl) {
    // A sub-control leaves its parent, which would otherwise free it again.
    std::erase(parent->subControls, c);
    c->parentControl = nullptr;
  }
  Panel* panel = c->owner;
  if (panel != nullptr) {
    Control* prev = PreviousInChain(panel, c);
    if (prev != nullptr) {
      ForgetInRanges(panel, c, prev);
      prev->next = c->next;
    }
  }
  c->next = nullptr;
  if (c->hasWindow.get() && c->ops.destroyWindows != nullptr) c->ops.destroyWindows(c);
  if (c->ops.release != nullptr) c->ops.release(c);
  delete c;
}

void DestroyPanel(Panel* panel) {
  if (panel == nullptr) return;
  // The last active control first, until none is left.
  for (;;) {
    Control* lastActive = nullptr;
    for (Control* c = panel->next; c != nullptr; c = c->next) {
      if (c->active.get() == 1) lastActive = c;
    }
    if (lastActive == nullptr) break;
    RemoveControl(lastActive);
  }
  // Inactive records are owned by the panel as well: free them too rather
  // than lose them with the header.
  while (panel->next != nullptr) RemoveControl(panel->lastControl());
  if (panel->ops.release != nullptr) panel->ops.release(panel);
  delete panel;
}

void MoveControlToFront(Panel* panel, Control* c) {
  if (panel == nullptr || c == nullptr || c == panel || panel->next == c) return;
  Control* prev = PreviousInChain(panel, c);
  if (prev == nullptr) return;  // not in this chain
  prev->next = c->next;
  c->next = panel->next;
  panel->next = c;
}

Control* FocusNext(Control* c, int direction) {
  if (c == nullptr || direction == 0 || c->focusGroup == 0) return c;
  Panel* panel = PanelOf(c);
  if (panel == nullptr) return c;
  std::vector<Control*> chain;
  int at = -1;
  for (Control* r = panel->next; r != nullptr; r = r->next) {
    if (r == c) at = static_cast<int>(chain.size());
    chain.push_back(r);
  }
  if (at < 0) return c;
  const int n = static_cast<int>(chain.size());
  const int stepBy = direction == 1 ? 1 : n - 1;
  for (int k = 1, i = (at + stepBy) % n; k < n; ++k, i = (i + stepBy) % n) {
    Control* r = chain[static_cast<size_t>(i)];
    if (r->focusGroup == c->focusGroup && !r->ghosted.get() && !r->hidden.get() &&
        r->ops.takeFocus != nullptr) {
      return r;
    }
  }
  return c;
}

void FocusMove(Control* c, int direction) {
  Control* target = FocusNext(c, direction);
  if (target != nullptr && target->ops.takeFocus != nullptr) target->ops.takeFocus(target);
}

void SetPanelFocus(Panel* panel, Control* c) {
  if (panel == nullptr) return;
  panel->focusedControl = c;
  if (g_backend.setFocus != nullptr) g_backend.setFocus(panel, c);
}

int CopyPanelSettings(const Panel* source, Panel* destination) {
  if (source == nullptr || destination == nullptr) return 1;
  int failed = 0;
  const Control* s = source->next;
  Control* d = destination->next;
  for (;;) {
    while (s != nullptr && s->active.get() == 0) s = s->next;
    while (d != nullptr && d->active.get() == 0) d = d->next;
    if (s == nullptr || d == nullptr) break;
    if (s->kind != d->kind) {
      // The chains do not line up here; copying across kinds would mix
      // unrelated fields, so this pair is skipped and the copy fails.
      failed = 1;
    } else if (s->ops.copyValue != nullptr) {
      s->ops.copyValue(s, d);
    }
    s = s->next;
    d = d->next;
  }
  if (s != nullptr || d != nullptr) failed = 1;
  return failed;
}

void RunPendingAfterLoad(Panel* panel) {
  if (panel == nullptr || !panel->loadPending.get()) return;
  panel->loadPending = 0;
  for (Control* c = panel; c != nullptr; c = c->next) {
    if (c->ops.afterLoad != nullptr) c->ops.afterLoad(c);
  }
}

int CollectUsedItems(Panel* panel, ItemHandle** itemsOut) {
  UsedItemList list;
  list.items = g_usedItems;
  list.capacity = kMaxUsedItems;
  if (panel != nullptr) {
    RunPendingAfterLoad(panel);
    for (Control* c = panel; c != nullptr && list.count < kMaxUsedItems; c = c->next) {
      if (c->ops.listUsedItems != nullptr) c->ops.listUsedItems(c, &list);
    }
  }
  g_usedItems[list.count] = nullptr;
  if (itemsOut != nullptr) *itemsOut = g_usedItems;
  return list.count;
}

void ChangeItemIds(Panel* panel, const ItemIdPair* pairs) {
  if (panel == nullptr || pairs == nullptr) return;
  for (Control* c = panel; c != nullptr; c = c->next) {
    if (c->ops.changeItemIds != nullptr) c->ops.changeItemIds(c, pairs);
  }
  panel->item = MapItemId(panel->item, pairs);
}

namespace {

// The text field a kind shows, with its capacity; null when it has none.
char* ControlTextField(Control* c, size_t* capacity) {
  if (LabelControl* l = AsLabel(c)) {
    *capacity = sizeof l->text;
    return l->text;
  }
  if (ButtonControl* b = AsButton(c)) {
    *capacity = sizeof b->caption;
    return b->caption;
  }
  if (StringControl* s = AsString(c)) {
    *capacity = sizeof s->text;
    return s->text;
  }
  if (NumericControl* n = AsNumeric(c)) {
    *capacity = sizeof n->label;
    return n->label;
  }
  if (ChoiceControl* ch = AsChoice(c)) {
    *capacity = sizeof ch->caption;
    return ch->caption;
  }
  if (ColorControl* co = AsColor(c)) {
    *capacity = sizeof co->label;
    return co->label;
  }
  if (ImageControl* im = AsImage(c)) {
    *capacity = sizeof im->label;
    return im->label;
  }
  if (ListControl* li = AsList(c)) {
    *capacity = sizeof li->label;
    return li->label;
  }
  if (ItemListControl* it = AsItemList(c)) {
    *capacity = sizeof it->label;
    return it->label;
  }
  if (CutPasteControl* cp = AsCutPaste(c)) {
    *capacity = sizeof cp->caption;
    return cp->caption;
  }
  return nullptr;
}

// The caption sub-control shows the control's label.
void SyncCaption(Control* c) {
  LabelControl* caption = nullptr;
  const char* label = nullptr;
  if (NumericControl* n = AsNumeric(c)) {
    caption = n->caption;
    label = n->label;
  } else if (ColorControl* k = AsColor(c)) {
    caption = k->caption;
    label = k->label;
  } else if (StringControl* s = AsString(c)) {
    caption = s->caption;
    label = s->label;
  } else if (ListControl* l = AsList(c)) {
    caption = l->caption;
    label = l->label;
  }
  if (caption != nullptr && label != nullptr) CopyText(caption->text, label);
}

}  // namespace

void SetControlTextFormatted(Control* c, int ghosted, const char* format, ...) {
  if (c == nullptr) return;
  char text[512];
  va_list args;
  va_start(args, format);
  FormatTextV(text, sizeof text, format, args);
  va_end(args);

  const int newGhosted = ghosted > 0 ? 1 : 0;
  const bool ghostChanged = c->ghosted.get() != newGhosted;
  c->ghosted = newGhosted;

  size_t capacity = 0;
  char* field = ControlTextField(c, &capacity);
  bool textChanged = false;
  if (field != nullptr) {
    char cut[512];
    CopyTextLimited(cut, sizeof cut, text, capacity - 1);
    if (std::strcmp(field, cut) != 0) {
      CopyText(field, capacity, cut);
      textChanged = true;
    }
    if (StringControl* s = AsString(c)) CopyText(s->editText, s->text);
    SyncCaption(c);
  }
  if (textChanged || ghostChanged) RefreshControl(c, kRefreshAll);
}

void SetControlLabel(Control* c, const char* label) {
  if (c == nullptr) return;
  char* field = nullptr;
  size_t capacity = 0;
  if (NumericControl* n = AsNumeric(c)) {
    field = n->label;
    capacity = sizeof n->label;
  } else if (ColorControl* k = AsColor(c)) {
    field = k->label;
    capacity = sizeof k->label;
  } else if (StringControl* s = AsString(c)) {
    field = s->label;
    capacity = sizeof s->label;
  } else if (ListControl* l = AsList(c)) {
    field = l->label;
    capacity = sizeof l->label;
  } else if (ItemListControl* it = AsItemList(c)) {
    field = it->label;
    capacity = sizeof it->label;
  } else if (ImageControl* im = AsImage(c)) {
    field = im->label;
    capacity = sizeof im->label;
  } else if (ChoiceControl* ch = AsChoice(c)) {
    field = ch->caption;
    capacity = sizeof ch->caption;
  }
  if (field == nullptr) return;
  CopyText(field, capacity, label);
  SyncCaption(c);
  RefreshControl(c, kRefreshAll);
}

void CancelPanel(Panel* panel) {
  if (panel == nullptr) return;
  panel->closeState = kCloseCancelled;
  PostPanelMessage(panel, kMsgClose, 0, 0);
}

Control* FindControl(const Panel* panel, const char* key) {
  if (panel == nullptr || key == nullptr) return nullptr;
  for (Control* c = panel->next; c != nullptr; c = c->next) {
    if (c->key.Equals(key)) return c;
  }
  return nullptr;
}

int RunIdlePass(Panel* panel) {
  int sum = 0;
  for (Control* c = panel; c != nullptr; c = c->next) {
    if (c->ops.idle != nullptr) sum += c->ops.idle(c);
  }
  return sum;
}

void TearDownPanelWindows(Panel* panel) {
  if (panel == nullptr) return;
  for (Control* c = panel->next; c != nullptr; c = c->next) {
    if (!c->active.get()) continue;
    if (c->ops.destroyWindows != nullptr) c->ops.destroyWindows(c);
    c->hasWindow = 0;
    for (Control* sub : c->subControls) sub->hasWindow = 0;
  }
  if (panel->ops.destroyWindows != nullptr) panel->ops.destroyWindows(panel);
  panel->hasWindow = 0;
  if (panel->panelData != nullptr && panel->releasePanelData != nullptr) {
    void* data = panel->panelData;
    panel->panelData = nullptr;
    if (panel->releasePanelDataWithOwner != nullptr) panel->releasePanelDataWithOwner(data, panel->ownerInstance);
    panel->releasePanelData(data);
  }
}

int OpenModalPanel(Panel* panel, Panel* parent) {
  if (panel == nullptr || g_backend.openModal == nullptr) return 1;
  return g_backend.openModal(panel, parent);
}

void PostPanelMessage(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2) {
  if (panel == nullptr || panel->window.get() == nullptr) return;
  if (g_backend.postMessage != nullptr) g_backend.postMessage(panel, code, param1, param2);
}

}  // namespace orvik
