// The pixel filter's callbacks with the host's signatures, ready for the
// module's handler record.
#pragma once

#include "sdk/orvik_sdk.h"

namespace orvik {

HostInstance pixelFilterHandlerCreate(void* serverData, void* context, HostError* error);
void pixelFilterHandlerDestroy(HostInstance inst);
HostError pixelFilterHandlerCopy(HostInstance to, HostInstance from);
const char* pixelFilterHandlerDescription(HostInstance inst);
HostError pixelFilterHandlerInit(HostInstance inst, int mode);
void pixelFilterHandlerCleanup(HostInstance inst);
HostError pixelFilterHandlerNewTime(HostInstance inst, int frame, double time);
void pixelFilterHandlerEvaluate(HostInstance inst, const HostFilterAccess* access);
unsigned pixelFilterHandlerFlags(HostInstance inst);
bool pixelFilterHandlerExists();

}  // namespace orvik
