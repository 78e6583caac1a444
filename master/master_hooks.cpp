#include "master/master_hooks.h"

namespace orvik {

namespace {
MasterHooks gHooks;
SurfaceRelabelHook gRelabel = nullptr;
}  // namespace

void setMasterHooks(const MasterHooks& hooks) { gHooks = hooks; }
const MasterHooks& masterHooks() { return gHooks; }

void setSurfaceRelabelHook(SurfaceRelabelHook hook) { gRelabel = hook; }
SurfaceRelabelHook surfaceRelabelHook() { return gRelabel; }

}  // namespace orvik
