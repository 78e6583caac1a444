// Safe no-op versions of the callbacks of handler_callbacks.h whose owners
// have not landed yet; each moves to handler_wiring.cpp when it does. Until
// then the host gets a valid, inert instance and unchanged samples.
#include <new>

#include "module/handler_callbacks.h"
#include "module/layout_commands.h"
#include "module/registry.h"

namespace orvik::callbacks {
namespace {

// Placeholder instance, so the host can create, copy and destroy.
struct InertInstance {
  unsigned aliveMark = kAliveMark;
};

HostInstance createInert(HostError *error) {
  auto *inst = new (std::nothrow) InertInstance;
  if (!inst && error) *error = "Orvik: not enough memory";
  return inst;
}

void destroyInert(HostInstance inst) {
  auto *inert = static_cast<InertInstance *>(inst);
  if (inert) inert->aliveMark = 0;
  delete inert;
}

}  // namespace

void openSurfacePanel(HostInstance) {}

void openMasterPanel() {
  if (commandHooks().openMasterPanel) commandHooks().openMasterPanel();
}

HostInstance filterCreate(void *, void *, HostError *error) { return createInert(error); }
void filterDestroy(HostInstance inst) { destroyInert(inst); }
const char *filterDescription(HostInstance) { return "Orvik Lighting and Shading System"; }
HostError filterInit(HostInstance, int) { return nullptr; }
void filterCleanup(HostInstance) {}
HostError filterNewTime(HostInstance, int, double) { return nullptr; }
void filterEvaluate(HostInstance, const HostFilterAccess *) {}
bool pixelFilterExists() { return registry().activePixelFilter.load() != nullptr; }


}  // namespace orvik::callbacks
