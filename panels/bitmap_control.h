// The bitmap control (kind 13): a picture (logo, title picture). It takes no
// part in settings.
#pragma once

#include <cstdint>

#include "panels/control.h"

namespace orvik {

struct BitmapControl : Control {
  static constexpr int kKind = kKindBitmap;

  int width = 0;
  int height = 0;
  const uint32_t* pixels = nullptr;  // width × height RGBA, owned by the caller
};

inline BitmapControl* AsBitmap(Control* c) { return As<BitmapControl>(c); }

}  // namespace orvik
