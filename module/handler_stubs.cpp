// Safe no-op versions of the callbacks declared in handler_callbacks.h.
// Each is replaced by a call into its owner as that work lands; until then
// the host gets a valid, inert instance and unchanged samples.
#include <new>

#include "module/handler_callbacks.h"
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

const HostItemId kNoItems[] = {nullptr};

}  // namespace

HostInstance shaderCreate(void *, void *, HostError *error) { return createInert(error); }
void shaderDestroy(HostInstance inst) { destroyInert(inst); }
HostError shaderCopy(HostInstance, HostInstance) { return nullptr; }
HostError shaderLoad(HostInstance, const HostLoadState *) { return nullptr; }
HostError shaderSave(HostInstance, const HostSaveState *) { return nullptr; }
const HostItemId *shaderUseItems(HostInstance) { return kNoItems; }
void shaderChangeID(HostInstance, const HostItemId *) {}
HostError shaderInit(HostInstance, int) { return nullptr; }
void shaderCleanup(HostInstance) {}
HostError shaderNewTime(HostInstance, int, double) { return nullptr; }
void shaderEvaluate(HostInstance, HostShaderAccess *) {}
const char *shaderComment(HostInstance) { return ""; }
void openSurfacePanel(HostInstance) {}

HostInstance masterCreate(void *, void *, HostError *error) { return createInert(error); }
void masterDestroy(HostInstance inst) { destroyInert(inst); }
HostError masterCopy(HostInstance, HostInstance) { return nullptr; }
HostError masterLoad(HostInstance, const HostLoadState *) { return nullptr; }
HostError masterSave(HostInstance, const HostSaveState *) { return nullptr; }
const char *masterDescription(HostInstance) { return "Orvik Lighting and Shading System"; }
const HostItemId *masterUseItems(HostInstance) { return kNoItems; }
void masterChangeID(HostInstance, const HostItemId *) {}
double masterEvent(HostInstance, const HostMasterAccess *) { return 0.0; }
bool masterExists() { return registry().activeMaster.load() != nullptr; }
void openMasterPanel() {}

HostInstance filterCreate(void *, void *, HostError *error) { return createInert(error); }
void filterDestroy(HostInstance inst) { destroyInert(inst); }
const char *filterDescription(HostInstance) { return "Orvik Lighting and Shading System"; }
HostError filterInit(HostInstance, int) { return nullptr; }
void filterCleanup(HostInstance) {}
HostError filterNewTime(HostInstance, int, double) { return nullptr; }
void filterEvaluate(HostInstance, const HostFilterAccess *) {}
bool pixelFilterExists() { return registry().activePixelFilter.load() != nullptr; }

void discardClosedPreviewWindows() {}
void runCommand(Command, const HostLayoutGeneric *) {}

}  // namespace orvik::callbacks
