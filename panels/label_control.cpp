#include "panels/label_control.h"

#include <new>

#include "panels/panel.h"

namespace orvik {

namespace {
void ResetLabel(Control* c) {
  LabelControl* l = AsLabel(c);
  if (l == nullptr) return;
  l->text[0] = '\0';
  l->red = l->green = l->blue = 144;
  l->height = 15;
}
}  // namespace

LabelControl* AddLabelControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  LabelControl* l = new (std::nothrow) LabelControl;
  if (l == nullptr) return nullptr;
  InitControlRecord(l, kKindLabel, key);
  ResetLabel(l);
  l->ops.reset = ResetLabel;
  l->persistent = 0;
  l->x = x;
  l->y = y;
  AppendToChain(anchor, l);
  return l;
}

}  // namespace orvik
