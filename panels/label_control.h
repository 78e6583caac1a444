// The label control (kind 2): one static text (captions, titles, dialog
// lines), set with SetControlTextFormatted.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct LabelControl : Control {
  static constexpr int kKind = kKindLabel;
  static constexpr size_t kMaxText = 511;

  char text[kMaxText + 1] = {};
  int red = 144, green = 144, blue = 144;
  int height = 15;
  int width = 0;  // 0: as wide as the text
};

inline LabelControl* AsLabel(Control* c) { return As<LabelControl>(c); }

}  // namespace orvik
