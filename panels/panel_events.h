// Offering a window message to the records of a panel. The window layer
// calls DispatchPanelMessage from its window procedure; headless tests call
// it directly with the same codes and parameters.
#pragma once

#include <cstdint>

#include "panels/panel.h"

namespace orvik {

// Stores the message in the panel header and offers it to every record in
// chain order (each record before its sub-controls, decorations last) until
// one handles it (kEventHandled). A left-button press inside the panel's
// background-click rectangle that no record took calls the background hook,
// unless the panel is ghosted. Returns kEventHandled when someone took it.
int DispatchPanelMessage(Panel* panel, unsigned code, uintptr_t param1, intptr_t param2);

// Packs a pointer position as mouse messages carry it.
inline intptr_t PackPointer(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                               static_cast<uint16_t>(x));
}

// Whether (x, y) lies in the record's rectangle (right and bottom excluded).
bool ControlContains(const Control* c, int x, int y);

// The handleEvent of buttons: a left-button press inside a visible button
// clicks it with the message's key state.
int HandleButtonEvent(Control* c);

}  // namespace orvik
