// The one symbol the library exports, and its load and unload steps. This
// file belongs to the shared library alone.
#include "module/server_table.h"

namespace {

void *startup() { return orvik::moduleStartup(); }
void shutdown(void *serverData) { orvik::moduleShutdown(serverData); }

__attribute__((constructor)) void onLoad() { orvik::processAttach(); }
__attribute__((destructor)) void onUnload() { orvik::processDetach(); }

}  // namespace

extern "C" {
__attribute__((visibility("default"))) HostModuleDescriptor _mod_descrip = {
    HOST_MODULE_SYNC, HOST_MODULE_SYSTEM_VERSION, HOST_MODULE_MACHINE, startup, shutdown,
    orvik::kServerTable,
};
}
