#include "panels/choice_control.h"

#include <new>

#include "panels/bounded_text.h"
#include "panels/panel.h"

namespace orvik {

namespace {

void ResetChoice(Control* c) {
  if (ChoiceControl* ch = AsChoice(c)) ch->selection = 0;
}

void CopyChoice(const Control* source, Control* destination) {
  const ChoiceControl* s = As<ChoiceControl>(source);
  ChoiceControl* d = AsChoice(destination);
  if (s == nullptr || d == nullptr) return;
  const int sel = s->selection.get();
  // A selection the destination does not have would index past its labels.
  if (sel >= 0 && (sel < d->choiceCount || d->choiceCount == 0)) d->selection = sel;
}

}  // namespace

int SetChoiceLabels(ChoiceControl* c, const char* const* labels, int count) {
  if (c == nullptr) return 0;
  if (count < 0 || labels == nullptr) count = 0;
  if (count > ChoiceControl::kMaxChoices) count = ChoiceControl::kMaxChoices;
  for (int i = 0; i < count; ++i) {
    CopyTextLimited(c->labels[i], sizeof c->labels[i], labels[i], ChoiceControl::kMaxLabel);
  }
  c->choiceCount = count;
  if (c->selection.get() >= count) c->selection = count > 0 ? count - 1 : 0;
  if (c->selection.get() < 0) c->selection = 0;
  if (count > 0) CopyText(c->cycleCaption, c->labels[c->selection.get()]);
  return count;
}

int CycleChoiceIndex(int selection, int count, bool backwards) {
  if (count <= 0) return 0;
  if (selection < 0 || selection >= count) selection = 0;
  if (backwards) return selection == 0 ? count - 1 : selection - 1;
  return selection + 1 >= count ? 0 : selection + 1;
}

bool SelectChoice(ChoiceControl* c, int selection) {
  if (c == nullptr || selection < 0 || selection >= c->choiceCount) return false;
  c->selection = selection;
  CopyText(c->cycleCaption, c->labels[selection]);
  RefreshControl(c, kRefreshSubControls | kRefreshDraw);
  NotifyValueChanged(c);
  return true;
}

void CycleChoice(ChoiceControl* c, bool backwards) {
  if (c == nullptr || c->choiceCount <= 0) return;
  SelectChoice(c, CycleChoiceIndex(c->selection.get(), c->choiceCount, backwards));
}

ChoiceControl* AddChoiceControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ChoiceControl* c = new (std::nothrow) ChoiceControl;
  if (c == nullptr) return nullptr;
  InitControlRecord(c, kKindChoice, key);
  ResetChoice(c);
  c->ops.reset = ResetChoice;
  c->ops.copyValue = CopyChoice;
  c->x = x;
  c->y = y;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
