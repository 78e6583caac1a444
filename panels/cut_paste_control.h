// The cut/paste pair (kind 23): a Copy and a Paste button over up to 64
// ranges of the chain's controls. What the buttons do (clips) is filled in
// by the settings layer through the buttons' click hooks.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct CutPasteRange {
  Control* first = nullptr;
  Control* last = nullptr;
};

struct CutPasteControl : Control {
  static constexpr int kKind = kKindCutPaste;
  static constexpr int kMaxRanges = 64;
  static constexpr size_t kMaxCaption = 255;

  char caption[kMaxCaption + 1] = {};
  CutPasteRange ranges[kMaxRanges];
  int rangeCount = 0;
  int rangeOpen = 0;
  Control* openedAfter = nullptr;  // last control of the chain at the begin call

  ButtonControl* cutButton = nullptr;    // "%s_cut", labelled "C"
  ButtonControl* pasteButton = nullptr;  // "%s_paste", labelled "P"
};

inline CutPasteControl* AsCutPaste(Control* c) { return As<CutPasteControl>(c); }

// Module-wide click hooks given to every new pair's Copy and Paste buttons
// (the settings layer sets them once). A button's hook receives the button;
// its parentControl is the pair.
void SetCutPasteHooks(ControlHook onCut, ControlHook onPaste);

// The range runs from the first control created after the begin call to the
// last one created before the end call. Returns false when 64 ranges exist
// or the range is empty.
void BeginCutPasteRange(CutPasteControl* c);
bool EndCutPasteRange(CutPasteControl* c);

// Calls fn for every control of the pair's ranges, in chain order per range.
void ForEachInCutPasteRanges(CutPasteControl* c, void (*fn)(Control*, void*), void* data);

}  // namespace orvik
