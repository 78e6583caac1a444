#include "module/activation.h"

#include <cstring>

#include "module/entry_guard.h"
#include "module/handler_callbacks.h"
#include "module/host_services.h"
#include "module/layout_commands.h"
#include "module/toolkit_host_wiring.h"

namespace orvik {
namespace {

// Acquires the host services and, once they are there, connects the toolkit
// and the settings layer to them.
int acquireAndConnect(HostGlobalFunc global, int version) {
  const int code = acquireServices(global, version);
  if (code == HOST_AFUNC_OK && hostServices().acquired()) installToolkitHost();
  return code;
}

namespace cb = callbacks;

// ---- Shader entries -------------------------------------------------------

HostInstance shaderCreate(void *priv, void *context, HostError *error) {
  return guardedCall<HostInstance>(nullptr, [&] {
    if (error) *error = nullptr;
    HostInstance inst = cb::shaderCreate(priv, context, error);
    if (!inst && error && !*error) *error = kInternalError;
    return inst;
  });
}
void shaderDestroy(HostInstance inst) { guardedCall([&] { cb::shaderDestroy(inst); }); }
HostError shaderCopy(HostInstance to, HostInstance from) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::shaderCopy(to, from); });
}
HostError shaderLoad(HostInstance inst, const HostLoadState *state) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::shaderLoad(inst, state); });
}
HostError shaderSave(HostInstance inst, const HostSaveState *state) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::shaderSave(inst, state); });
}
const char *shaderDescln(HostInstance inst) {
  return guardedCall<const char *>(kDescriptionPlain, [&] {
    const char *line = cb::shaderDescription(inst);
    return line ? line : kDescriptionPlain;
  });
}
const HostItemId *shaderUseItems(HostInstance inst) {
  static const HostItemId none[] = {nullptr};
  return guardedCall<const HostItemId *>(none, [&] {
    const HostItemId *items = cb::shaderUseItems(inst);
    return items ? items : none;
  });
}
void shaderChangeID(HostInstance inst, const HostItemId *ids) {
  guardedCall([&] { cb::shaderChangeID(inst, ids); });
}
HostError shaderInit(HostInstance inst, int mode) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::shaderInit(inst, mode); });
}
void shaderCleanup(HostInstance inst) { guardedCall([&] { cb::shaderCleanup(inst); }); }
HostError shaderNewTime(HostInstance inst, int frame, double time) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::shaderNewTime(inst, frame, time); });
}
void shaderEvaluate(HostInstance inst, HostShaderAccess *sa) {
  guardedCall([&] { cb::shaderEvaluate(inst, sa); });
}
void shaderEvaluateInModeler(HostInstance, HostShaderAccess *) {}
unsigned shaderFlags(HostInstance) { return kShaderFlags; }

// ---- Master entries -------------------------------------------------------

HostInstance masterCreate(void *priv, void *context, HostError *error) {
  return guardedCall<HostInstance>(nullptr, [&] {
    if (error) *error = nullptr;
    HostInstance inst = cb::masterCreate(priv, context, error);
    if (!inst && error && !*error) *error = kInternalError;
    return inst;
  });
}
void masterDestroy(HostInstance inst) { guardedCall([&] { cb::masterDestroy(inst); }); }
HostError masterCopy(HostInstance to, HostInstance from) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::masterCopy(to, from); });
}
HostError masterLoad(HostInstance inst, const HostLoadState *state) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::masterLoad(inst, state); });
}
HostError masterSave(HostInstance inst, const HostSaveState *state) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::masterSave(inst, state); });
}
const char *masterDescln(HostInstance inst) {
  return guardedCall<const char *>(kDescriptionPlain, [&] {
    const char *line = cb::masterDescription(inst);
    return line ? line : kDescriptionPlain;
  });
}
const HostItemId *masterUseItems(HostInstance inst) {
  static const HostItemId none[] = {nullptr};
  return guardedCall<const HostItemId *>(none, [&] {
    const HostItemId *items = cb::masterUseItems(inst);
    return items ? items : none;
  });
}
void masterChangeID(HostInstance inst, const HostItemId *ids) {
  guardedCall([&] { cb::masterChangeID(inst, ids); });
}
double masterEvent(HostInstance inst, const HostMasterAccess *access) {
  return guardedCall<double>(0.0, [&] { return cb::masterEvent(inst, access); });
}
unsigned masterFlags(HostInstance) { return kMasterFlags; }

// ---- Pixel-filter entries -------------------------------------------------

HostInstance filterCreate(void *priv, void *context, HostError *error) {
  return guardedCall<HostInstance>(nullptr, [&] {
    if (error) *error = nullptr;
    HostInstance inst = cb::filterCreate(priv, context, error);
    if (!inst && error && !*error) *error = kInternalError;
    return inst;
  });
}
void filterDestroy(HostInstance inst) { guardedCall([&] { cb::filterDestroy(inst); }); }
HostError filterCopy(HostInstance, HostInstance) { return nullptr; }
const char *filterDescln(HostInstance inst) {
  return guardedCall<const char *>(kDescriptionPlain, [&] {
    const char *line = cb::filterDescription(inst);
    return line ? line : kDescriptionPlain;
  });
}
HostError filterInit(HostInstance inst, int mode) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::filterInit(inst, mode); });
}
void filterCleanup(HostInstance inst) { guardedCall([&] { cb::filterCleanup(inst); }); }
HostError filterNewTime(HostInstance inst, int frame, double time) {
  return guardedCall<HostError>(kInternalError, [&] { return cb::filterNewTime(inst, frame, time); });
}
void filterEvaluate(HostInstance inst, const HostFilterAccess *access) {
  guardedCall([&] { cb::filterEvaluate(inst, access); });
}
unsigned filterFlags(HostInstance) { return kPixelFilterFlags; }

// ---- The discarding frame buffer ------------------------------------------

HostInstance noBufferCreate(void *, void *, HostError *error) {
  if (error) *error = nullptr;
  return reinterpret_cast<HostInstance>(kNoBufferInstance);
}
void noBufferDestroy(HostInstance) {}
HostError noBufferCopy(HostInstance, HostInstance) { return nullptr; }
int noBufferOpen(HostInstance, int, int) { return 0; }
void noBufferClose(HostInstance) {}
int noBufferBegin(HostInstance) { return 0; }
int noBufferWrite(HostInstance, const void *, const void *, const void *, const void *) {
  return 0;
}
void noBufferPause(HostInstance) {}

// ---- Commands -------------------------------------------------------------

// Commands ignore the host version and always succeed.
int activateCommand(LayoutCommand command, HostGlobalFunc global, void *local) {
  return guardedCall<int>(HOST_AFUNC_OK, [&] {
    acquireAndConnect(global, 0);
    runLayoutCommand(command, global, static_cast<const HostLayoutGeneric *>(local));
    return HOST_AFUNC_OK;
  });
}

HostInstance interfaceInstance(void *local) {
  auto *record = static_cast<HostInterfaceRecord *>(local);
  return record ? record->inst : nullptr;
}

// Interfaces do not pass the version gate, but they need to know whether
// they run in Modeler.
void learnHostKind(HostGlobalFunc global) {
  if (!hostServices().acquired()) readHostFacts(global);
}

}  // namespace

int versionGate(int version, HostGlobalFunc global) {
  if (version > kMaximumHandlerVersion) return HOST_AFUNC_BADVERSION;
  if (version < kMinimumHandlerVersion) {
    int found = 0;
    auto *messages = static_cast<const HostMessageFuncs1 *>(
        acquireService(global, HOST_INFO_MESSAGES_NAME, 3, &found));
    if (messages && messages->error) messages->error(kVersionMessage, nullptr);
    return HOST_AFUNC_BADVERSION;
  }
  return -1;
}

bool sendHostCommand(HostGlobalFunc global, const char *command) {
  if (!global) return false;
  auto command_interface =
      reinterpret_cast<HostCommandFunc>(global(HOST_COMMAND_INTERFACE_NAME, HOST_GFUSE_TRANSIENT));
  if (!command_interface) return false;
  return command_interface(command) != 0;
}

int activateShaderHandler(int version, HostGlobalFunc global, void *local, void *) {
  return guardedCall<int>(HOST_AFUNC_BADVERSION, [&] {
    if (const int gate = versionGate(version, global); gate >= 0) return gate;
    if (const int code = acquireAndConnect(global, version); code != HOST_AFUNC_OK) return code;
    auto *handler = static_cast<HostShaderHandler *>(local);
    if (!handler) return HOST_AFUNC_OK;
    const bool modeler = hostServices().inModeler;
    handler->inst.create = shaderCreate;
    handler->inst.destroy = shaderDestroy;
    handler->inst.copy = shaderCopy;
    handler->inst.load = shaderLoad;
    handler->inst.save = shaderSave;
    handler->inst.descln = shaderDescln;
    handler->item.useItems = shaderUseItems;
    handler->item.changeID = shaderChangeID;
    handler->rend.init = modeler ? nullptr : shaderInit;
    handler->rend.cleanup = modeler ? nullptr : shaderCleanup;
    handler->rend.newTime = modeler ? nullptr : shaderNewTime;
    handler->evaluate = modeler ? shaderEvaluateInModeler : shaderEvaluate;
    handler->flags = shaderFlags;
    return HOST_AFUNC_OK;
  });
}

int activateMasterHandler(int version, HostGlobalFunc global, void *local, void *) {
  return guardedCall<int>(HOST_AFUNC_BADVERSION, [&] {
    if (const int gate = versionGate(version, global); gate >= 0) return gate;
    readHostFacts(global);
    if (hostServices().inModeler) return HOST_AFUNC_BADAPP;
    if (const int code = acquireAndConnect(global, version); code != HOST_AFUNC_OK) return code;
    auto *handler = static_cast<HostMasterHandler *>(local);
    if (!handler) return HOST_AFUNC_OK;
    handler->type = HOST_MASTER_SCENE;
    handler->inst.create = masterCreate;
    handler->inst.destroy = masterDestroy;
    handler->inst.copy = masterCopy;
    handler->inst.load = masterLoad;
    handler->inst.save = masterSave;
    handler->inst.descln = masterDescln;
    handler->item.useItems = masterUseItems;
    handler->item.changeID = masterChangeID;
    handler->event = masterEvent;
    handler->flags = masterFlags;
    return HOST_AFUNC_OK;
  });
}

int activatePixelFilterHandler(int version, HostGlobalFunc global, void *local, void *) {
  return guardedCall<int>(HOST_AFUNC_BADVERSION, [&] {
    if (const int gate = versionGate(version, global); gate >= 0) return gate;
    if (const int code = acquireAndConnect(global, version); code != HOST_AFUNC_OK) return code;
    auto *handler = static_cast<HostPixelFilterHandler *>(local);
    if (!handler) return HOST_AFUNC_OK;
    handler->inst.create = filterCreate;
    handler->inst.destroy = filterDestroy;
    handler->inst.copy = filterCopy;
    handler->inst.load = nullptr;
    handler->inst.save = nullptr;
    handler->inst.descln = filterDescln;
    handler->item.useItems = nullptr;
    handler->item.changeID = nullptr;
    handler->rend.init = filterInit;
    handler->rend.cleanup = filterCleanup;
    handler->rend.newTime = filterNewTime;
    handler->evaluate = filterEvaluate;
    handler->flags = filterFlags;
    return HOST_AFUNC_OK;
  });
}

int activateShaderInterface(int, HostGlobalFunc global, void *local, void *) {
  return guardedCall<int>(HOST_AFUNC_OK, [&] {
    learnHostKind(global);
    if (hostServices().inModeler) return HOST_AFUNC_OK;
    if (!cb::masterExists()) sendHostCommand(global, kApplyMasterCommand);
    if (!cb::pixelFilterExists()) sendHostCommand(global, kApplyPixelFilterCommand);
    cb::openSurfacePanel(interfaceInstance(local));
    return HOST_AFUNC_OK;
  });
}

int activateMasterInterface(int, HostGlobalFunc, void *, void *) {
  return guardedCall<int>(HOST_AFUNC_OK, [&] {
    if (cb::masterExists()) cb::openMasterPanel();
    return HOST_AFUNC_OK;
  });
}

int activatePixelFilterInterface(int, HostGlobalFunc global, void *, void *) {
  return guardedCall<int>(HOST_AFUNC_OK, [&] {
    if (!cb::masterExists()) sendHostCommand(global, kApplyMasterCommand);
    if (cb::masterExists()) cb::openMasterPanel();
    return HOST_AFUNC_OK;
  });
}

int activateAddPreview(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::AddPreview, global, local);
}
int activateAddToObjects(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::AddToObjects, global, local);
}
int activateAddToAll(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::AddToAll, global, local);
}
int activateRemoveFromObjects(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::RemoveFromObjects, global, local);
}
int activateOpenMaster(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::OpenMaster, global, local);
}
int activateRender(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::Render, global, local);
}
int activateHidePreviews(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::HidePreviews, global, local);
}
int activateHideAll(int, HostGlobalFunc global, void *local, void *) {
  return activateCommand(LayoutCommand::HideAll, global, local);
}

int activateNoBuffer(int, HostGlobalFunc, void *local, void *) {
  auto *handler = static_cast<HostFrameBufferHandler *>(local);
  if (!handler) return HOST_AFUNC_OK;
  handler->type = kNoBufferType;
  handler->inst.create = noBufferCreate;
  handler->inst.destroy = noBufferDestroy;
  handler->inst.copy = noBufferCopy;
  handler->inst.load = nullptr;
  handler->inst.save = nullptr;
  handler->inst.descln = nullptr;
  handler->item.useItems = nullptr;
  handler->item.changeID = nullptr;
  handler->open = noBufferOpen;
  handler->close = noBufferClose;
  handler->begin = noBufferBegin;
  handler->write = noBufferWrite;
  handler->pause = noBufferPause;
  return HOST_AFUNC_OK;
}

}  // namespace orvik
