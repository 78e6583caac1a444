// The image control (kind 12): one image of the host's image list, and the
// lookup that finds or loads an image by name and file when settings load.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct ImageControl : Control {
  static constexpr int kKind = kKindImage;
  static constexpr size_t kMaxLabel = 255;

  SharedValue<ImageHandle> image{nullptr};
  char label[kMaxLabel + 1] = {};
  ButtonControl* imageButton = nullptr;  // "%s_button"
};

inline ImageControl* AsImage(Control* c) { return As<ImageControl>(c); }

// The text the control's button shows: the image's name, or "(none)".
const char* ImageButtonText(const ImageControl* c);

// The image named `name` in the host's image list; else the image loaded from
// fileName; with ask, the missing-file questions. Both empty: none.
ImageHandle FindOrLoadImage(const char* name, const char* fileName, bool ask);

// The module-wide "skip all missing images" flag set by Cancel.
bool SkipAllMissingImages();
void ResetSkipAllMissingImages();  // for tests and module unload

// Sets the user's choice of image: refresh, change message, pendingChange and
// value hook.
void SetImageChoice(ImageControl* c, ImageHandle image);

}  // namespace orvik
