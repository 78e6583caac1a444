#include "master/open_surface.h"

#include <atomic>

#include "module/registry.h"

namespace orvik {

namespace {
SurfaceAccess gAccess;
// Set from the pixel-information window's thread, read on the master panel's.
std::atomic<SurfaceInstance*> gNext{nullptr};
}  // namespace

void setSurfaceAccess(const SurfaceAccess& access) { gAccess = access; }
const SurfaceAccess& surfaceAccess() { return gAccess; }

void setNextSurfaceToOpen(SurfaceInstance* s) { gNext.store(s, std::memory_order_relaxed); }
SurfaceInstance* nextSurfaceToOpen() { return gNext.load(std::memory_order_relaxed); }
void forgetSurfaceToOpen(SurfaceInstance* s) {
    SurfaceInstance* expected = s;
    gNext.compare_exchange_strong(expected, nullptr, std::memory_order_relaxed);
}

SurfaceInstance* openChosenSurface() {
    if (!gAccess.openPanel) return nullptr;
    if (SurfaceInstance* chosen = nextSurfaceToOpen()) {
        gAccess.openPanel(chosen);
        return chosen;
    }
    if (!gAccess.next || !gAccess.attached) return nullptr;
    for (SurfaceInstance* s = registry().surfaces.load(std::memory_order_acquire); s; s = gAccess.next(s)) {
        setNextSurfaceToOpen(s);
        if (gAccess.attached(s)) {
            gAccess.openPanel(s);
            return s;
        }
    }
    setNextSurfaceToOpen(nullptr);
    return nullptr;
}

}  // namespace orvik
