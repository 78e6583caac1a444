#include "panels/control.h"

#include <cstring>

#include "panels/bounded_text.h"
#include "panels/panel.h"

namespace orvik {

ControlKey::ControlKey() { CopyText(text, kUnsetKey); }

void ControlKey::Set(const char* key) { CopyTextLimited(text, sizeof text, key, kMaxChars); }

bool ControlKey::Equals(const char* key) const {
  return key != nullptr && std::strcmp(text, key) == 0;
}

bool UsedItemList::Add(ItemHandle item) {
  if (items == nullptr || count >= capacity) return false;
  items[count++] = item;
  return true;
}

ItemHandle MapItemId(ItemHandle item, const ItemIdPair* pairs) {
  if (item == nullptr || pairs == nullptr) return item;
  for (const ItemIdPair* p = pairs; p->oldId != nullptr; ++p) {
    if (p->oldId == item) return p->newId;
  }
  return item;
}

Control::~Control() {
  for (Control* sub : subControls) {
    if (sub == nullptr) continue;
    if (sub->ops.release != nullptr) sub->ops.release(sub);
    delete sub;
  }
  subControls.clear();
  validWord1 = kRecordDeadWord;
  validWord2 = kRecordDeadWord;
}

static void DefaultSetHidden(Control* c, int hidden) {
  int h = hidden != 0 ? 1 : 0;
  if (c->hidden.get() != h) {
    c->hidden = h;
    if (h) {
      if (c->ops.destroyWindows != nullptr) c->ops.destroyWindows(c);
      c->hasWindow = 0;
      Panel* panel = PanelOf(c);
      if (panel != nullptr && panel->focusedControl.get() == c) SetPanelFocus(panel, nullptr);
    } else {
      // Its windows exist again only while the panel's window does.
      Panel* panel = PanelOf(c);
      c->hasWindow = (panel != nullptr && panel->window.get() != nullptr) ? 1 : 0;
      RefreshControl(c, kRefreshLayout);
    }
  }
  for (Control* sub : c->subControls) SetControlHidden(sub, h);
}

void SetControlHidden(Control* c, int hidden) {
  if (c == nullptr) return;
  if (c->setHidden != nullptr) {
    c->setHidden(c, hidden);
  } else {
    DefaultSetHidden(c, hidden);
  }
}

void NotifyValueChanged(Control* c, bool postMessage) {
  if (c == nullptr) return;
  c->pendingChange = 1;
  if (c->valueHook != nullptr) c->valueHook(c);
  if (postMessage) PostPanelMessage(PanelOf(c), kMessageValueChanged, 0, 0);
}

}  // namespace orvik
