// The one-line text control (kind 7).
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct StringControl : Control {
  static constexpr int kKind = kKindString;
  static constexpr size_t kMaxText = 255;
  static constexpr size_t kMaxEntry = 253;  // taken from the edit field on Tab/Enter
  static constexpr size_t kMaxLabel = 255;

  char text[kMaxText + 1] = {};
  char label[kMaxLabel + 1] = {};
  int width = 150;
  int height = 16;
  // The edit window's text (the window layer mirrors it; headless it is the
  // text itself).
  char editText[kMaxText + 1] = {};

  LabelControl* caption = nullptr;
};

inline StringControl* AsString(Control* c) { return As<StringControl>(c); }

// Sets the text (cut to 255 characters) and mirrors it into the edit field.
void SetStringText(StringControl* c, const char* text);

// Tab or Enter: the edit text (at most 253 characters) becomes the text;
// change reported and focus moved even when nothing changed.
void CommitStringEntry(StringControl* c);

// The control's windows go away: the edit text (at most 255 characters) is
// kept unless the control is ghosted.
void KeepStringEditText(StringControl* c);

}  // namespace orvik
