// The module's server table, its start-up and shut-down, and the steps
// taken when the library is loaded and unloaded.
#pragma once

#include <cstdint>

#include "sdk/module_descriptor.h"

namespace orvik {

inline constexpr int kServerCount = 15;
// What startup hands the host as server data.
inline constexpr uintptr_t kStartupServerData = 4;

// The fifteen server records followed by a null record.
extern const HostServerRecord kServerTable[kServerCount + 1];

void *moduleStartup();
void moduleShutdown(void *serverData);

// Load: clears the slot table, gives the loading thread a slot and builds
// the random tables. Unload: clears the slots and frees the tables.
bool processAttach();
void processDetach();

}  // namespace orvik
