// Opening the master panel (the Layout command and the surface panel's
// "Open Master"): an open surface panel that is not pinned gives the master
// panel its place on the screen and closes.
#pragma once

namespace orvik {

struct Panel;

// Brings an open master panel to the front, or opens it. Returns the surface
// panel that made way for it, if any.
Panel* openMasterPanel();

// Whether a panel's "Pin" check button is on.
bool panelPinned(const Panel* panel);

}  // namespace orvik
