// The handler callbacks whose owners exist: the surface instances and their
// evaluation, the master, the pixel filter and the settings text. The host's save and load states are handed
// to the settings text as its own two-function states.
#include "master/master_handler.h"
#include "module/handler_callbacks.h"
#include "module/registry.h"
#include "persist/instance_settings.h"
#include "preview/pixel_filter_handler.h"
#include "persist/settings_state.h"
#include "shading/evaluate.h"
#include "shading/surface_handler.h"

namespace orvik::callbacks {
namespace {

SaveState adaptSaveState(const HostSaveState *state) {
  SaveState adapted;
  if (state) {
    adapted.context = state->writeData;
    adapted.write = state->write;
  }
  return adapted;
}

LoadState adaptLoadState(const HostLoadState *state) {
  LoadState adapted;
  if (state) {
    adapted.context = state->readData;
    adapted.read = state->read;
  }
  return adapted;
}

HostError saveSettings(HostInstance inst, const HostSaveState *state) {
  if (!state || !state->write) return nullptr;  // nothing to write to
  SaveState adapted = adaptSaveState(state);
  return SaveInstanceSettings(inst, &adapted);
}

HostError loadSettings(HostInstance inst, const HostLoadState *state) {
  if (!state || !state->read) return nullptr;  // nothing to read from
  LoadState adapted = adaptLoadState(state);
  return LoadInstanceSettings(inst, &adapted);
}

}  // namespace

HostInstance shaderCreate(void *priv, void *context, HostError *error) {
  return surfaceHandlerCreate(priv, context, error);
}
void shaderDestroy(HostInstance inst) { surfaceHandlerDestroy(inst); }
HostError shaderCopy(HostInstance to, HostInstance from) { return surfaceHandlerCopy(to, from); }
HostError shaderLoad(HostInstance inst, const HostLoadState *state) {
  return loadSettings(inst, state);
}
HostError shaderSave(HostInstance inst, const HostSaveState *state) {
  return saveSettings(inst, state);
}
const HostItemId *shaderUseItems(HostInstance inst) { return surfaceHandlerUseItems(inst); }
void shaderChangeID(HostInstance inst, const HostItemId *ids) { surfaceHandlerChangeId(inst, ids); }
HostError shaderInit(HostInstance inst, int mode) { return surfaceHandlerInit(inst, mode); }
void shaderCleanup(HostInstance inst) { surfaceHandlerCleanup(inst); }
HostError shaderNewTime(HostInstance inst, int frame, double time) {
  return surfaceHandlerNewTime(inst, frame, time);
}
void shaderEvaluate(HostInstance inst, HostShaderAccess *sa) { surfaceEvaluateEntry(inst, sa); }
const char *shaderDescription(HostInstance inst) { return surfaceHandlerDescription(inst); }

HostInstance masterCreate(void *priv, void *context, HostError *error) {
  return masterHandlerCreate(priv, context, error);
}
void masterDestroy(HostInstance inst) { masterHandlerDestroy(inst); }
HostError masterCopy(HostInstance to, HostInstance from) { return masterHandlerCopy(to, from); }
HostError masterLoad(HostInstance inst, const HostLoadState *state) {
  return loadSettings(inst, state);
}
HostError masterSave(HostInstance inst, const HostSaveState *state) {
  return saveSettings(inst, state);
}
const char *masterDescription(HostInstance inst) { return masterHandlerDescription(inst); }
const HostItemId *masterUseItems(HostInstance inst) { return masterHandlerUseItems(inst); }
void masterChangeID(HostInstance inst, const HostItemId *ids) { masterHandlerChangeId(inst, ids); }
double masterEvent(HostInstance inst, const HostMasterAccess *access) {
  return masterHandlerEvent(inst, access);
}
bool masterExists() { return registry().activeMaster.load() != nullptr; }

HostInstance filterCreate(void *priv, void *context, HostError *error) {
  return pixelFilterHandlerCreate(priv, context, error);
}
void filterDestroy(HostInstance inst) { pixelFilterHandlerDestroy(inst); }
const char *filterDescription(HostInstance inst) { return pixelFilterHandlerDescription(inst); }
HostError filterInit(HostInstance inst, int mode) { return pixelFilterHandlerInit(inst, mode); }
void filterCleanup(HostInstance inst) { pixelFilterHandlerCleanup(inst); }
HostError filterNewTime(HostInstance inst, int frame, double time) {
  return pixelFilterHandlerNewTime(inst, frame, time);
}
void filterEvaluate(HostInstance inst, const HostFilterAccess *access) {
  pixelFilterHandlerEvaluate(inst, access);
}
bool pixelFilterExists() { return registry().activePixelFilter.load() != nullptr; }

}  // namespace orvik::callbacks
