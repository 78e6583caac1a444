// The choice control (kind 10): one of several labelled options, shown as a
// row of radio buttons or as a single cycle button.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct ChoiceControl : Control {
  static constexpr int kKind = kKindChoice;
  static constexpr int kMaxChoices = 64;
  static constexpr size_t kMaxLabel = 63;
  static constexpr size_t kMaxCaption = 255;

  SharedValue<int> selection{0};
  int choiceCount = 0;
  char labels[kMaxChoices][kMaxLabel + 1] = {};
  char caption[kMaxCaption + 1] = {};
  int vertical = 1;
  int step = 18;  // pixels between radio buttons
  int cycle = 0;  // cycle presentation
  int cycleWidth = 120;
  char cycleCaption[kMaxLabel + 1] = {};
  int pressedOffset = 0;
};

inline ChoiceControl* AsChoice(Control* c) { return As<ChoiceControl>(c); }

// Sets the labels (cut to 63 characters, at most kMaxChoices); keeps the
// selection inside the new count. Returns the number of labels taken.
int SetChoiceLabels(ChoiceControl* c, const char* const* labels, int count);

// The cycle button's click: next (previous with Shift), wrapping around.
int CycleChoiceIndex(int selection, int count, bool backwards);
void CycleChoice(ChoiceControl* c, bool backwards);

// A radio button press or a program choice by the user: sets the selection
// and reports the change. Out-of-range selections are refused (false).
bool SelectChoice(ChoiceControl* c, int selection);

}  // namespace orvik
