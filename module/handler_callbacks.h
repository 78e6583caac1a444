// The handler callbacks whose work lives outside the bridge: the surface
// shader, the master, the pixel filter and the interface activations.
// handler_wiring.cpp connects those whose owners exist; handler_stubs.cpp
// holds safe no-op versions of the rest, each to be moved to the wiring as
// its owner lands. The activations wrap every one of them in guardedCall
// before the host sees it.
#pragma once

#include "sdk/orvik_sdk.h"

namespace orvik::callbacks {

// Surface shader.
HostInstance shaderCreate(void *priv, void *context, HostError *error);
void shaderDestroy(HostInstance inst);
HostError shaderCopy(HostInstance to, HostInstance from);
HostError shaderLoad(HostInstance inst, const HostLoadState *state);
HostError shaderSave(HostInstance inst, const HostSaveState *state);
const HostItemId *shaderUseItems(HostInstance inst);
void shaderChangeID(HostInstance inst, const HostItemId *ids);
HostError shaderInit(HostInstance inst, int mode);
void shaderCleanup(HostInstance inst);
HostError shaderNewTime(HostInstance inst, int frame, double time);
void shaderEvaluate(HostInstance inst, HostShaderAccess *sa);
// The description line (pending edits committed first).
const char *shaderDescription(HostInstance inst);
// Opens (or brings to the front) the surface's panel.
void openSurfacePanel(HostInstance inst);

// Master.
HostInstance masterCreate(void *priv, void *context, HostError *error);
void masterDestroy(HostInstance inst);
HostError masterCopy(HostInstance to, HostInstance from);
HostError masterLoad(HostInstance inst, const HostLoadState *state);
HostError masterSave(HostInstance inst, const HostSaveState *state);
const char *masterDescription(HostInstance inst);
const HostItemId *masterUseItems(HostInstance inst);
void masterChangeID(HostInstance inst, const HostItemId *ids);
double masterEvent(HostInstance inst, const HostMasterAccess *access);
bool masterExists();
void openMasterPanel();

// Pixel filter.
HostInstance filterCreate(void *priv, void *context, HostError *error);
void filterDestroy(HostInstance inst);
const char *filterDescription(HostInstance inst);
HostError filterInit(HostInstance inst, int mode);
void filterCleanup(HostInstance inst);
HostError filterNewTime(HostInstance inst, int frame, double time);
void filterEvaluate(HostInstance inst, const HostFilterAccess *access);
bool pixelFilterExists();

}  // namespace orvik::callbacks
