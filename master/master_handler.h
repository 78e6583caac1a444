// The master handler's callbacks in the host's signatures, for the module to
// put into the host's master handler record. Load and save are the module's
// generic settings callbacks (the record starts with its panel).
#pragma once

#include "sdk/master.h"

namespace orvik {

HostInstance masterHandlerCreate(void* serverData, void* context, HostError* error);
void masterHandlerDestroy(HostInstance instance);
HostError masterHandlerCopy(HostInstance to, HostInstance from);
const char* masterHandlerDescription(HostInstance instance);
const HostItemId* masterHandlerUseItems(HostInstance instance);
void masterHandlerChangeId(HostInstance instance, const HostItemId* ids);
double masterHandlerEvent(HostInstance instance, const HostMasterAccess* access);
unsigned int masterHandlerFlags(HostInstance instance);

// Fills every slot of the record this module serves, except load and save.
void fillMasterHandler(HostMasterHandler* handler);

// useItems' answer: the all-items marker, so that every ID change is reported.
const HostItemId* allItemsMarker();

}  // namespace orvik
