#include "panels/color_control.h"

#include <cmath>
#include <new>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/label_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

void ResetColor(Control* c) {
  ColorControl* k = AsColor(c);
  if (k == nullptr) return;
  k->red = 0;
  k->green = 0;
  k->blue = 0;
}

void CopyColor(const Control* source, Control* destination) {
  const ColorControl* s = As<ColorControl>(source);
  ColorControl* d = AsColor(destination);
  if (s == nullptr || d == nullptr) return;
  d->red = s->red.get();
  d->green = s->green.get();
  d->blue = s->blue.get();
}

void ChooseButtonClicked(Control* button) {
  if (ColorControl* c = AsColor(button != nullptr ? button->parentControl : nullptr)) ChooseColor(c);
}

}  // namespace

int ColorFractionToComponent(double fraction) {
  if (std::isnan(fraction) || fraction < 0.0) fraction = 0.0;
  if (fraction > 1.0) fraction = 1.0;
  return static_cast<int>(std::floor(fraction * 255.0 + 0.5)) & 0xFF;
}

void ApplyPickedColor(ColorControl* c, const double rgb[3]) {
  if (c == nullptr) return;
  c->red = ColorFractionToComponent(rgb[0]);
  c->green = ColorFractionToComponent(rgb[1]);
  c->blue = ColorFractionToComponent(rgb[2]);
  c->pendingChange = 1;
  if (c->valueHook != nullptr) c->valueHook(c);
  RefreshControl(c, kRefreshDraw);
}

bool ChooseColor(ColorControl* c) {
  const ToolkitHost& host = GetToolkitHost();
  if (c == nullptr || host.colorPicker == nullptr) return false;
  double rgb[3] = {c->red.get() / 255.0, c->green.get() / 255.0, c->blue.get() / 255.0};
  // The window layer disables the panel window around this call.
  if (host.colorPicker("Choose a color:", rgb) <= 0) return false;
  ApplyPickedColor(c, rgb);
  return true;
}

ColorControl* AddColorControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ColorControl* c = new (std::nothrow) ColorControl;
  LabelControl* caption = new (std::nothrow) LabelControl;
  ButtonControl* choose = new (std::nothrow) ButtonControl;
  if (c == nullptr || caption == nullptr || choose == nullptr) {
    delete c;
    delete caption;
    delete choose;
    return nullptr;
  }
  InitControlRecord(c, kKindColor, key);
  c->owner = PanelOf(anchor);
  ResetColor(c);
  c->ops.reset = ResetColor;
  c->ops.copyValue = CopyColor;
  c->x = x;
  c->y = y;
  CopyText(c->label, c->key.c_str());

  InitSubControl(c, caption, kKindLabel, "_label");
  CopyText(caption->text, c->label);
  InitSubControl(c, choose, kKindButton, "_choose");
  choose->clickHook = ChooseButtonClicked;
  AttachSubControl(c, caption);
  AttachSubControl(c, choose);
  c->caption = caption;
  c->chooseButton = choose;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
