#include "master/master_hooks.h"

#include "module/host_services.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {
MasterHooks gHooks;
SurfaceRelabelHook gRelabel = nullptr;
}  // namespace

void setMasterHooks(const MasterHooks& hooks) { gHooks = hooks; }
const MasterHooks& masterHooks() { return gHooks; }

void setSurfaceRelabelHook(SurfaceRelabelHook hook) { gRelabel = hook; }
SurfaceRelabelHook surfaceRelabelHook() { return gRelabel; }

int masterSelectedItems(ItemHandle* out, int capacity) {
    if (gHooks.selectedItems) return gHooks.selectedItems(out, capacity);
    const HostServices& services = hostServices();
    if (!services.global || !out || capacity <= 0) return 0;
    const auto* ui =
        static_cast<const HostInterfaceInfo*>(services.global(HOST_INTERFACE_INFO_NAME, HOST_GFUSE_TRANSIENT));
    if (!ui || !ui->selItems) return 0;
    int count = 0;
    while (count < capacity && ui->selItems[count]) {
        out[count] = ui->selItems[count];
        ++count;
    }
    return count;
}

void masterWarning(const char* line1, const char* line2) {
    if (gHooks.warning) {
        gHooks.warning(line1, line2);
        return;
    }
    const HostServices& services = hostServices();
    if (services.messages && services.messages->warning)
        services.messages->warning(line1, line2);
    else
        HostInfo(line1, line2);
}

}  // namespace orvik
