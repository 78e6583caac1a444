// Copy and Paste of a cut/paste pair: the controls of the pair's ranges are
// written as a clip under the pair's key and read back into any panel, each
// record going to the control of the same key.
#pragma once

#include "panels/control.h"

namespace orvik {

// Clips are written into a buffer of this size; a copy that would need more
// is refused with a message rather than stored cut.
constexpr size_t kClipBufferBytes = 50000;
inline constexpr const char* kClipBlockName = "CUTPASTE";
inline constexpr const char* kMsgClipTooLarge = "These settings are too large to copy.";

// The Copy button's click hook (c: the button, or the pair itself).
void CutSettings(Control* c);
// The Paste button's click hook; with Shift held it deletes the clip.
void PasteSettings(Control* c);

}  // namespace orvik
