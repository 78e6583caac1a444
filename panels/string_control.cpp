#include "panels/string_control.h"

#include <new>

#include "panels/bounded_text.h"
#include "panels/label_control.h"
#include "panels/panel.h"

namespace orvik {

namespace {

void ResetString(Control* c) {
  StringControl* s = AsString(c);
  if (s == nullptr) return;
  s->text[0] = '\0';
  s->editText[0] = '\0';
}

void CopyString(const Control* source, Control* destination) {
  const StringControl* s = As<StringControl>(source);
  StringControl* d = AsString(destination);
  if (s == nullptr || d == nullptr) return;
  SetStringText(d, s->text);
}

void TakeStringFocus(Control* c) {
  StringControl* s = AsString(c);
  if (s == nullptr) return;
  if (!s->ghosted.get()) SetPanelFocus(PanelOf(s), s);
}

void StringWindowsGone(Control* c) {
  if (StringControl* s = AsString(c)) KeepStringEditText(s);
}

}  // namespace

void SetStringText(StringControl* c, const char* text) {
  if (c == nullptr) return;
  CopyText(c->text, text);
  CopyText(c->editText, c->text);
  RefreshControl(c, kRefreshDraw);
}

void CommitStringEntry(StringControl* c) {
  if (c == nullptr || c->ghosted.get()) return;
  CopyTextLimited(c->text, sizeof c->text, c->editText, StringControl::kMaxEntry);
  NotifyValueChanged(c);
  FocusMove(c, 1);
}

void KeepStringEditText(StringControl* c) {
  if (c == nullptr || c->ghosted.get() || !c->hasWindow.get()) return;
  CopyTextLimited(c->text, sizeof c->text, c->editText, StringControl::kMaxText);
}

StringControl* AddStringControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  StringControl* s = new (std::nothrow) StringControl;
  LabelControl* caption = new (std::nothrow) LabelControl;
  if (s == nullptr || caption == nullptr) {
    delete s;
    delete caption;
    return nullptr;
  }
  InitControlRecord(s, kKindString, key);
  s->owner = PanelOf(anchor);
  ResetString(s);
  s->ops.reset = ResetString;
  s->ops.copyValue = CopyString;
  s->ops.takeFocus = TakeStringFocus;
  s->ops.destroyWindows = StringWindowsGone;
  s->x = x;
  s->y = y;
  CopyText(s->label, s->key.c_str());

  InitSubControl(s, caption, kKindLabel, "_label");
  CopyText(caption->text, s->label);
  AttachSubControl(s, caption);
  s->caption = caption;
  AppendToChain(anchor, s);
  return s;
}

}  // namespace orvik
