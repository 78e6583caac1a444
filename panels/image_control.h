// The image control (kind 12): one image of the host's image list, and the
// lookup that finds or loads an image by name and file when settings load.
#pragma once

#include <cstddef>
#include <vector>

#include "panels/control.h"

namespace orvik {

struct ListControl;

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

// The "Select Image" panel of the control's button.
struct ImageSelectDialog {
  Panel* panel = nullptr;
  ImageControl* target = nullptr;
  ListControl* list = nullptr;         // "IMAGE": every image of the host's list
  ButtonControl* loadButton = nullptr;  // "IMLOAD"
  std::vector<ImageHandle> images;      // the image of each list row
  ImageHandle loaded = nullptr;         // an image loaded from disk
};

ImageSelectDialog* BuildImageSelectDialog(ImageControl* c);
void DestroyImageSelectDialog(ImageSelectDialog* d);
// "Load from disk": asks for a file, loads it, and closes the panel as
// accepted; a file the host cannot load is reported. True when loaded.
bool LoadImageFromDisk(ImageSelectDialog* d);
// The image an accepted dialog gives: the loaded one, else the selected
// row's, else none.
ImageHandle ImageSelectResult(const ImageSelectDialog* d);
// The button's click hook: opens the dialog modally and takes its answer.
void ChooseImage(Control* button);

}  // namespace orvik
