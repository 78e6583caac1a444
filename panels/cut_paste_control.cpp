#include "panels/cut_paste_control.h"

#include <new>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/panel.h"

namespace orvik {

namespace {

ControlHook g_cutHook = nullptr;
ControlHook g_pasteHook = nullptr;

// Size of the Copy and Paste buttons; Paste sits one button to the right.
constexpr int kPairButtonSize = 17;

}  // namespace

void SetCutPasteHooks(ControlHook onCut, ControlHook onPaste) {
  g_cutHook = onCut;
  g_pasteHook = onPaste;
}

void BeginCutPasteRange(CutPasteControl* c) {
  if (c == nullptr) return;
  Panel* panel = PanelOf(c);
  c->openedAfter = panel != nullptr ? panel->lastControl() : nullptr;
  c->rangeOpen = 1;
}

bool EndCutPasteRange(CutPasteControl* c) {
  if (c == nullptr || !c->rangeOpen) return false;
  c->rangeOpen = 0;
  Panel* panel = PanelOf(c);
  Control* last = panel != nullptr ? panel->lastControl() : nullptr;
  Control* first = c->openedAfter != nullptr ? c->openedAfter->next : (panel != nullptr ? panel->next : nullptr);
  const bool empty = first == nullptr || last == nullptr || c->openedAfter == last;
  c->openedAfter = nullptr;
  if (empty || c->rangeCount >= CutPasteControl::kMaxRanges) return false;
  c->ranges[c->rangeCount].first = first;
  c->ranges[c->rangeCount].last = last;
  ++c->rangeCount;
  return true;
}

void ForEachInCutPasteRanges(CutPasteControl* c, void (*fn)(Control*, void*), void* data) {
  if (c == nullptr || fn == nullptr) return;
  for (int k = 0; k < c->rangeCount && k < CutPasteControl::kMaxRanges; ++k) {
    const CutPasteRange& r = c->ranges[k];
    if (r.first == nullptr) continue;
    for (Control* x = r.first; x != nullptr; x = x->next) {
      fn(x, data);
      if (x == r.last) break;
    }
  }
}

CutPasteControl* AddCutPastePair(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  CutPasteControl* c = new (std::nothrow) CutPasteControl;
  ButtonControl* cut = new (std::nothrow) ButtonControl;
  ButtonControl* paste = new (std::nothrow) ButtonControl;
  if (c == nullptr || cut == nullptr || paste == nullptr) {
    delete c;
    delete cut;
    delete paste;
    return nullptr;
  }
  InitControlRecord(c, kKindCutPaste, key);
  c->owner = PanelOf(anchor);
  c->persistent = 0;
  c->x = x;
  c->y = y;

  InitSubControl(c, cut, kKindButton, "_cut");
  CopyText(cut->caption, "C");
  InitSubControl(c, paste, kKindButton, "_paste");
  CopyText(paste->caption, "P");
  for (ButtonControl* b : {cut, paste}) {
    b->width = kPairButtonSize;
    b->height = kPairButtonSize;
    b->y = y;
  }
  cut->x = x;
  paste->x = x + kPairButtonSize;
  cut->clickHook = g_cutHook;
  paste->clickHook = g_pasteHook;
  AttachSubControl(c, cut);
  AttachSubControl(c, paste);
  c->cutButton = cut;
  c->pasteButton = paste;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
