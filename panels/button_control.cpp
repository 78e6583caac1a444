#include "panels/button_control.h"

#include <new>

#include "panels/panel.h"
#include "panels/panel_events.h"

namespace orvik {

namespace {

void ResetButton(Control* c) {
  ButtonControl* b = AsButton(c);
  if (b == nullptr) return;
  b->state = 0;
  b->clickModifiers = 0;
}

void CopyButton(const Control* source, Control* destination) {
  const ButtonControl* s = As<ButtonControl>(source);
  ButtonControl* d = AsButton(destination);
  if (s == nullptr || d == nullptr) return;
  d->state = s->state.get();
}

ButtonControl* NewButton(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ButtonControl* b = new (std::nothrow) ButtonControl;
  if (b == nullptr) return nullptr;
  InitControlRecord(b, kKindButton, key);
  ResetButton(b);
  b->ops.reset = ResetButton;
  b->ops.copyValue = CopyButton;
  b->ops.handleEvent = HandleButtonEvent;
  b->x = x;
  b->y = y;
  AppendToChain(anchor, b);
  return b;
}

}  // namespace

void ClickButton(ButtonControl* b, unsigned keyState) {
  if (b == nullptr || b->hidden.get()) return;
  if (b->toggle) {
    int state = b->state.get() ^ kButtonHighlighted;
    // A captionless toggle (a check box) carries its checked bit with it.
    if (b->caption[0] == '\0') state ^= kButtonChecked;
    b->state = state;
    RefreshControl(b, kRefreshDraw);
    // A toggle changed its value: pendingChange, value hook, change message.
    NotifyValueChanged(b);
  }
  if (b->clickHook != nullptr) {
    b->clickModifiers = ((keyState & kKeyStateShift) ? kClickShift : 0) |
                        ((keyState & kKeyStateControl) ? kClickCtrl : 0);
    b->clickHook(b);
  }
}

void SetButtonHighlight(ButtonControl* b, bool on) {
  if (b == nullptr) return;
  const int state = on ? (b->state.get() | kButtonHighlighted) : (b->state.get() & ~kButtonHighlighted);
  if (state == b->state.get()) return;
  b->state = state;
  RefreshControl(b, kRefreshDraw);
}

ButtonControl* AddButtonControl(const char* key, int x, int y, Control* anchor) {
  return NewButton(key, x, y, anchor);
}

ButtonControl* AddCheckButton(const char* key, int x, int y, Control* anchor) {
  ButtonControl* b = NewButton(key, x, y, anchor);
  if (b == nullptr) return nullptr;
  b->toggle = 1;
  b->isCheckButton = 1;
  b->width = 20;
  b->height = 17;
  return b;
}

}  // namespace orvik
