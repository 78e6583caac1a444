#include "preview/pixel_filter_handler.h"

#include "preview/pixel_filter.h"

namespace orvik {
namespace {

// The host hands back the pointer create returned; a stale one is ignored.
PixelFilterInstance* live(HostInstance inst) {
  auto* f = static_cast<PixelFilterInstance*>(inst);
  return f && f->alive() ? f : nullptr;
}

}  // namespace

HostInstance pixelFilterHandlerCreate(void* serverData, void* context, HostError* error) {
  const char* message = nullptr;
  PixelFilterInstance* f = createPixelFilter(serverData, context, &message);
  if (error) *error = message;
  return f;
}

void pixelFilterHandlerDestroy(HostInstance inst) { destroyPixelFilter(live(inst)); }

HostError pixelFilterHandlerCopy(HostInstance, HostInstance) { return nullptr; }

const char* pixelFilterHandlerDescription(HostInstance) { return kFilterDescription; }

HostError pixelFilterHandlerInit(HostInstance inst, int) {
  pixelFilterInit(live(inst), filterHostFromServices());
  return nullptr;
}

void pixelFilterHandlerCleanup(HostInstance inst) { pixelFilterCleanup(live(inst)); }

HostError pixelFilterHandlerNewTime(HostInstance inst, int frame, double time) {
  pixelFilterNewTime(live(inst), frame, time, filterHostFromServices());
  return nullptr;
}

void pixelFilterHandlerEvaluate(HostInstance inst, const HostFilterAccess* access) {
  pixelFilterEvaluate(live(inst), access);
}

unsigned pixelFilterHandlerFlags(HostInstance) { return kPixelFilterFlagWord; }

bool pixelFilterHandlerExists() { return activePixelFilter() != nullptr; }

}  // namespace orvik
