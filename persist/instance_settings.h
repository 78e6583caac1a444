// The save and load callbacks of the shader and master handlers, and the
// loads that paste and settings files make with states of their own.
//
// The instance handed to them begins with one pointer, its Panel:
//   struct SurfaceInstance { Panel* panel; ... };
// so these need no knowledge of the instance's kind.
#pragma once

#include "persist/settings_state.h"

namespace orvik {

struct Panel;

// Runs pending after-load work, then writes the panel's block. Returns null,
// or a message for the host to show.
const char* SaveInstanceSettings(void* instance, SaveState* state);

// Reads a block into the instance's panel and reports a failure through the
// host's error function (the message and "Line %d: %.100s"); marks the panel
// loadPending in every case. Always returns null, as the host expects.
const char* LoadInstanceSettings(void* instance, LoadState* state);

// Reads a block into the instance's panel. Returns null or the message of the
// failure, without showing it; the values read before it stay.
const char* LoadSettingsFromText(void* instance, LoadState* state);

// The same on a panel directly.
const char* SavePanelSettings(Panel* panel, SaveState* state);
const char* LoadPanelSettings(Panel* panel, LoadState* state);

// What every loader does after LoadSettingsFromText: shows a failure with
// its line position, then marks the panel loadPending.
void FinishSettingsLoad(Panel* panel, const char* message);

// Runs the pending after-load work, calls the panel's onSettingsReplaced and
// refreshes every active control (flags 31, 24 for labels): after a paste or
// a load from a file or the memory slot.
void ApplyReplacedSettings(Panel* panel);

}  // namespace orvik
