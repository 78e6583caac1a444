// The callbacks of handler_callbacks.h whose owners have not landed yet:
// opening the panels from the interface activations. Each moves to
// handler_wiring.cpp when its owner does; until then it goes through the
// window hooks of the commands, and does nothing while those are empty.
#include "module/handler_callbacks.h"
#include "module/layout_commands.h"

namespace orvik::callbacks {

void openSurfacePanel(HostInstance) {}

void openMasterPanel() {
  if (commandHooks().openMasterPanel) commandHooks().openMasterPanel();
}

}  // namespace orvik::callbacks
