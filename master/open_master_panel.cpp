#include "master/open_master_panel.h"

#include <chrono>
#include <thread>

#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/open_surface.h"
#include "module/registry.h"
#include "panels/button_control.h"
#include "panels/panel.h"

namespace orvik {

namespace {

constexpr auto kHandOverWait = std::chrono::milliseconds(35);

// The first surface panel that is open, or null.
Panel* openSurfacePanel() {
    const SurfaceAccess& access = surfaceAccess();
    if (!access.next || !access.panel) return nullptr;
    for (SurfaceInstance* s = registry().surfaces.load(std::memory_order_acquire); s; s = access.next(s))
        if (Panel* p = access.panel(s); p && p->isOpen.get()) return p;
    return nullptr;
}

}  // namespace

bool panelPinned(const Panel* panel) { return IsButtonOn(AsButton(FindControl(panel, "PIN"))); }

Panel* openMasterPanel() {
    MasterInstance* m = currentMaster();
    if (!masterAlive(m) || !m->panel) return nullptr;
    Panel* master = m->panel;
    const MasterHooks& h = masterHooks();
    if (master->isOpen.get()) {
        if (h.raisePanel) h.raisePanel(master);
        return nullptr;
    }
    Panel* surface = openSurfacePanel();
    if (!surface || panelPinned(surface)) {
        if (h.showPanel) h.showPanel(master);
        return nullptr;
    }
    master->placement = surface->placement;
    if (h.showPanel) h.showPanel(master);
    std::this_thread::sleep_for(kHandOverWait);
    CancelPanel(surface);
    return surface;
}

}  // namespace orvik
