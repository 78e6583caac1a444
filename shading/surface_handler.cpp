#include "shading/surface_handler.h"

#include <cstdio>

#include "module/host_services.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"

namespace orvik {

namespace {

// Comment (up to 255 characters) and the prefix.
char gDescription[320];

SurfaceInstance* instanceOf(HostInstance inst) { return static_cast<SurfaceInstance*>(inst); }

}  // namespace

const char* surfaceDescriptionLine(SurfaceInstance* inst) {
  if (inst && inst->panel && surfaceHooks().commitPendingEdits) surfaceHooks().commitPendingEdits(inst->panel);
  if (hostServices().inModeler) {
    std::snprintf(gDescription, sizeof gDescription, "%s", kSurfaceDescriptionModeler);
    return gDescription;
  }
  const char* comment = inst ? inst->text("COMMENT") : nullptr;
  if (!comment || comment[0] == '\0')
    std::snprintf(gDescription, sizeof gDescription, "%s", kSurfaceDescription);
  else
    std::snprintf(gDescription, sizeof gDescription, kSurfaceDescriptionFormat, comment);
  return gDescription;
}

// Nothing may unwind into the host: every entry point turns an exception
// into its failure result.

HostInstance surfaceHandlerCreate(void* /*priv*/, void* context, ::HostError* error) {
  try {
    const char* message = nullptr;
    SurfaceInstance* inst = createSurfaceInstance(context, &message);
    if (error) *error = message;
    return inst;
  } catch (...) {
    if (error) *error = kCreateNoMemoryError;
    return nullptr;
  }
}

void surfaceHandlerDestroy(HostInstance inst) {
  try {
    destroySurfaceInstance(instanceOf(inst));
  } catch (...) {
  }
}

::HostError surfaceHandlerCopy(HostInstance to, HostInstance from) {
  try {
    return copySurfaceInstance(instanceOf(to), instanceOf(from));
  } catch (...) {
    return kCopyFailed;
  }
}

const char* surfaceHandlerDescription(HostInstance inst) {
  try {
    return surfaceDescriptionLine(instanceOf(inst));
  } catch (...) {
    return kSurfaceDescription;
  }
}

const HostItemId* surfaceHandlerUseItems(HostInstance inst) {
  static const HostItemId kNone[1] = {nullptr};
  try {
    return reinterpret_cast<const HostItemId*>(surfaceUseItems(instanceOf(inst)));
  } catch (...) {
    return kNone;
  }
}

void surfaceHandlerChangeId(HostInstance inst, const HostItemId* ids) {
  try {
    surfaceChangeIds(instanceOf(inst), reinterpret_cast<void* const*>(ids));
  } catch (...) {
  }
}

::HostError surfaceHandlerInit(HostInstance inst, int mode) {
  try {
    surfaceRenderInit(instanceOf(inst), mode);
  } catch (...) {
  }
  return nullptr;
}

void surfaceHandlerCleanup(HostInstance inst) {
  try {
    surfaceRenderCleanup(instanceOf(inst));
  } catch (...) {
  }
}

::HostError surfaceHandlerNewTime(HostInstance inst, int frame, double time) {
  try {
    surfaceNewTime(instanceOf(inst), frame, time);
  } catch (...) {
  }
  return nullptr;
}

void installSurfaceCallbacks(HostShaderHandler* record, bool inModeler) {
  if (!record) return;
  record->inst.create = surfaceHandlerCreate;
  record->inst.destroy = surfaceHandlerDestroy;
  record->inst.copy = surfaceHandlerCopy;
  record->inst.descln = surfaceHandlerDescription;
  record->item.useItems = surfaceHandlerUseItems;
  record->item.changeID = surfaceHandlerChangeId;
  record->rend.init = inModeler ? nullptr : surfaceHandlerInit;
  record->rend.cleanup = inModeler ? nullptr : surfaceHandlerCleanup;
  record->rend.newTime = inModeler ? nullptr : surfaceHandlerNewTime;
}

}  // namespace orvik
