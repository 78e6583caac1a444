#include "panels/panel_events.h"

#include "panels/button_control.h"

namespace orvik {

namespace {

int Offer(Control* c) {
  if (c == nullptr) return 0;
  if (!c->hidden.get() && c->ops.handleEvent != nullptr && c->ops.handleEvent(c) == kEventHandled) {
    return kEventHandled;
  }
  for (Control* sub : c->subControls) {
    if (Offer(sub) == kEventHandled) return kEventHandled;
  }
  return 0;
}

}  // namespace

bool ControlContains(const Control* c, int x, int y) {
  return c != nullptr && c->left >= 0 && x >= c->left && x < c->right && y >= c->top && y < c->bottom;
}

int HandleButtonEvent(Control* c) {
  ButtonControl* b = AsButton(c);
  Panel* panel = PanelOf(c);
  if (b == nullptr || panel == nullptr || b->hidden.get()) return 0;
  const PanelMessage& m = panel->message;
  if (m.code != kMsgLeftButtonDown) return 0;
  if (!ControlContains(b, MessageX(m.param2), MessageY(m.param2))) return 0;
  if (b->ghosted.get()) return kEventHandled;  // greyed: swallowed, no click
  ClickButton(b, static_cast<unsigned>(m.param1));
  return kEventHandled;
}

int DispatchPanelMessage(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2) {
  if (panel == nullptr) return 0;
  panel->message.code = code;
  panel->message.param1 = param1;
  panel->message.param2 = param2;
  panel->message.result = 0;
  if (panel->ops.handleEvent != nullptr && panel->ops.handleEvent(panel) == kEventHandled) return kEventHandled;
  for (Control* c = panel->next; c != nullptr; c = c->next) {
    if (Offer(c) == kEventHandled) return kEventHandled;
  }
  for (Control* d : panel->decorations) {
    if (Offer(d) == kEventHandled) return kEventHandled;
  }
  if (code == kMsgLeftButtonDown && panel->onBackgroundClick != nullptr && !panel->ghosted.get()) {
    const int x = MessageX(param2), y = MessageY(param2);
    if (x >= panel->backgroundLeft && x < panel->backgroundRight && y >= panel->backgroundTop &&
        y < panel->backgroundBottom) {
      panel->onBackgroundClick(panel, x, y);
      return kEventHandled;
    }
  }
  return 0;
}

}  // namespace orvik
