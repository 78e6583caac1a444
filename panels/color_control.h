// The colour control (kind 4): three components 0..255, a "%s_choose" button
// that asks the host's colour picker, a caption and a swatch.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct ColorControl : Control {
  static constexpr int kKind = kKindColor;
  static constexpr size_t kMaxLabel = 255;

  SharedValue<int> red{0};
  SharedValue<int> green{0};
  SharedValue<int> blue{0};
  char label[kMaxLabel + 1] = {};

  LabelControl* caption = nullptr;
  ButtonControl* chooseButton = nullptr;
};

inline ColorControl* AsColor(Control* c) { return As<ColorControl>(c); }

// One picker fraction to a stored component: limited to 0..1, × 255,
// floor(x + 0.5).
int ColorFractionToComponent(double fraction);

// Asks the host's colour picker ("Choose a color:") and takes its answer.
// Returns true when the colour was changed.
bool ChooseColor(ColorControl* c);

// Takes a picker result (fractions) as the user's new colour.
void ApplyPickedColor(ColorControl* c, const double rgb[3]);

}  // namespace orvik
