#include "panels/bitmap_control.h"

#include <new>

#include "panels/panel.h"

namespace orvik {

BitmapControl* AddBitmapControl(const char* key, int width, int height, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  BitmapControl* b = new (std::nothrow) BitmapControl;
  if (b == nullptr) return nullptr;
  InitControlRecord(b, kKindBitmap, key);
  b->persistent = 0;
  b->width = width;
  b->height = height;
  AppendToChain(anchor, b);
  return b;
}

}  // namespace orvik
