#include "shading/surface_lifecycle.h"

#include <chrono>
#include <thread>
#include <vector>

#include "master/master_hooks.h"
#include "master/open_surface.h"
#include "master/master_values.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "module/thread_slots.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"
#include "sdk/compositing_info.h"
#include "sdk/scene_info.h"
#include "sdk/surface_functions.h"
#include "shading/surface_ghosting.h"
#include "shading/surface_instance.h"
#include "shading/surface_panel_actions.h"

namespace orvik {

namespace {

SurfaceHooks gHooks;

void pause(int ms) {
  if (gHooks.sleepMs)
    gHooks.sleepMs(ms);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void recomposePreviews() {
  if (gHooks.recomposePreviews) gHooks.recomposePreviews();
}

// Whether the host's surface functions name a scene object for the surface.
bool surfaceInScene(void* surface) {
  const HostSurfaceFuncs1* funcs = hostServices().surfaces;
  if (!funcs || !funcs->sceneObject) return false;
  const char* object = funcs->sceneObject(static_cast<HostSurfaceId>(surface));
  return object != nullptr && object[0] != '\0';
}

// A host service looked up for the moment (null when the host has none).
const void* transientService(const char* name) {
  HostGlobalFunc global = hostServices().global;
  return global ? global(name, HOST_GFUSE_TRANSIENT) : nullptr;
}

void linkAtHead(SurfaceInstance* inst) {
  Registry& reg = registry();
  SurfaceInstance* head = reg.surfaces.load();
  inst->runtime.previousInstance = nullptr;
  inst->runtime.nextInstance = head;
  if (head) head->runtime.previousInstance = inst;
  reg.surfaces.store(inst);
}

void unlink(SurfaceInstance* inst) {
  Registry& reg = registry();
  SurfaceInstance* prev = inst->runtime.previousInstance;
  SurfaceInstance* next = inst->runtime.nextInstance;
  if (prev)
    prev->runtime.nextInstance = next;
  else if (reg.surfaces.load() == inst)
    reg.surfaces.store(next);
  if (next) next->runtime.previousInstance = prev;
  inst->runtime.previousInstance = nullptr;
  inst->runtime.nextInstance = nullptr;
}

// Buttons of the panel that are no shading settings.
bool isPanelButton(const Control* c) {
  if (c->kind != kKindButton) return false;
  for (const char* key : {"PIN", "RESETBOOST", "RESETEDGE", "OPENMASTER", "NEXTSHADER"})
    if (c->key.Equals(key)) return true;
  return false;
}

// The settings the art swatch is drawn from.
bool isSwatchInput(const Control* c) {
  return c->key.Equals("ART_IMNAME") || c->key.Equals("ART_ROTATE") || c->key.Equals("ART_SQUEEZE");
}

// What the master asks of the surfaces: relabelling the boosts when its
// group notes change, and walking and opening them for "Open Surface".
void connectToMaster() {
  if (!surfaceRelabelHook()) setSurfaceRelabelHook(relabelLightGroupBoosts);
  if (surfaceAccess().next) return;
  SurfaceAccess access;
  access.next = [](SurfaceInstance* s) { return nextSurfaceInstance(s); };
  access.attached = [](SurfaceInstance* s) {
    const uintptr_t id = s ? s->runtime.surfaceId.get() : 0;
    return id != 0 && id != kDestroyedSurfaceId;
  };
  access.openPanel = openSurfacePanel;
  access.panel = [](SurfaceInstance* s) { return s ? s->panel : nullptr; };
  setSurfaceAccess(access);
}

// Scratch list handed to the host by changeID (the toolkit's pairs).
std::vector<ItemIdPair> gIdPairs;

}  // namespace

void setSurfaceHooks(const SurfaceHooks& hooks) { gHooks = hooks; }
const SurfaceHooks& surfaceHooks() { return gHooks; }

SurfaceInstance* firstSurfaceInstance() { return registry().surfaces.load(); }
SurfaceInstance* nextSurfaceInstance(const SurfaceInstance* inst) {
  return inst ? inst->runtime.nextInstance : nullptr;
}

SurfaceInstance* createSurfaceInstance(void* context, const char** error) {
  if (error) *error = nullptr;
  SurfaceInstance* inst = buildSurfaceInstance();
  if (!inst) {
    showError(kCreateNoMemoryMessage, "");
    if (error) *error = kCreateNoMemoryError;
    return nullptr;
  }
  inst->runtime.aliveMark = kSurfaceAliveMark;
  inst->runtime.surfaceId = reinterpret_cast<uintptr_t>(context);

  connectToMaster();
  const char* notes[kLightGroupBoostCount] = {};
  const bool haveMaster = gHooks.lightGroupNotes ? gHooks.lightGroupNotes(notes) : masterGroupNotes(notes);
  relabelInstanceLightGroupBoosts(inst, haveMaster ? notes : nullptr);

  if (!hostServices().inModeler && context) {
    inst->runtime.inScene = surfaceInScene(context) ? 1 : 0;
    surfaceNewTime(inst, 0, 0.0);
    linkAtHead(inst);
    recomposePreviews();
  } else {
    inst->runtime.inScene = 0;
  }
  return inst;
}

void destroySurfaceInstance(SurfaceInstance* inst) {
  if (!inst) return;
  // Render-time readers stop at a cleared mark.
  inst->runtime.surfaceId = kDestroyedSurfaceId;
  inst->runtime.aliveMark = 0;

  unlink(inst);
  forgetSurfaceToOpen(inst);
  SurfaceInstance* self = inst;
  registry().lastEditedSurface.compare_exchange_strong(self, nullptr);
  if (gHooks.closePanelWindow && inst->panel) gHooks.closePanelWindow(inst->panel);

  if (!hostServices().inModeler) {
    recomposePreviews();
    if (gHooks.previewWindowCount && gHooks.previewWindowCount() > 0) {
      pause(kDestroyFirstPauseMs);
      while (gHooks.previewRefersTo && gHooks.previewRefersTo(inst)) pause(kDestroyWaitStepMs);
    }
  }
  freeSurfaceInstance(inst);
}

const char* copySurfaceInstance(SurfaceInstance* to, const SurfaceInstance* from) {
  const char* result = copySurfaceSettings(to, from);
  // The copied values change what the target's panel shows enabled.
  if (to && to->panel) applySurfaceGhosting(to);
  return result;
}

void* const* surfaceUseItems(SurfaceInstance* inst) {
  static ItemHandle empty[1] = {nullptr};
  if (!inst || !inst->panel) return empty;
  if (gHooks.commitPendingEdits) gHooks.commitPendingEdits(inst->panel);
  ItemHandle* items = nullptr;
  CollectUsedItems(inst->panel, &items);
  return items ? items : empty;
}

void surfaceChangeIds(SurfaceInstance* inst, void* const* ids) {
  if (!inst || !inst->panel || !ids) return;
  gIdPairs.clear();
  for (size_t i = 0; ids[i] != nullptr; i += 2) gIdPairs.push_back({ids[i], ids[i + 1]});
  gIdPairs.push_back({nullptr, nullptr});
  ChangeItemIds(inst->panel, gIdPairs.data());
}

void surfaceRenderInit(SurfaceInstance* inst, int mode) {
  if (!inst) return;
  inst->runtime.renderMode = mode;
  if (mode != kRenderModeFull || !inst->panel) return;
  if (gHooks.commitPendingEdits) gHooks.commitPendingEdits(inst->panel);
  if (inst->panel->isOpen.get() && gHooks.setPanelWindowHidden) {
    gHooks.setPanelWindowHidden(inst->panel, true);
    inst->runtime.panelHiddenForRender = 1;
  }
}

void surfaceRenderCleanup(SurfaceInstance* inst) {
  if (!inst || !inst->runtime.panelHiddenForRender.get()) return;
  inst->runtime.panelHiddenForRender = 0;
  if (gHooks.setPanelWindowHidden && inst->panel) gHooks.setPanelWindowHidden(inst->panel, false);
}

void surfaceNewTime(SurfaceInstance* inst, int frame, double time) {
  if (!inst) return;
  resetThreadRecords();
  if (gHooks.gatherLights) gHooks.gatherLights(frame, time);
  const HostSceneInfo* scene = static_cast<const HostSceneInfo*>(transientService(HOST_SCENE_INFO_NAME));
  inst->runtime.renderOptions = scene ? static_cast<int>(scene->renderOpts) : 0;
  prepareSurfaceInstance(inst);
  inst->runtime.frame = frame;
  inst->runtime.time = time;
  inst->runtime.compositing = transientService(HOST_COMPOSITING_INFO_NAME);
  inst->runtime.sceneInfo = scene;
  inst->runtime.previewLightsTaken = 0;
}

void surfaceSettingsChanged(SurfaceInstance* inst, Control* changed) {
  if (!inst || !inst->alive()) return;
  registry().lastEditedSurface.store(inst);
  // A switch of page changes no setting, nor do the panel's own buttons.
  if (changed && (changed->kind == kKindPageSelector || !changed->persistent.get() || isPanelButton(changed)))
    return;
  if (!changed || affectsSurfaceGhosting(changed)) applySurfaceGhosting(inst);
  if (changed && isSwatchInput(changed)) redrawArtSwatch(inst);
  prepareSurfaceInstance(inst);
  recomposePreviews();
  if (gHooks.reshadePixelInfo) gHooks.reshadePixelInfo();
  if (gHooks.updateMasterDisplay) gHooks.updateMasterDisplay();
}

void surfaceControlChanged(Control* c) {
  Panel* panel = c ? PanelOf(c) : nullptr;
  if (!panel) return;
  surfaceSettingsChanged(static_cast<SurfaceInstance*>(panel->ownerInstance), c);
}

void surfacePanelChanged(Control* panelRecord) {
  Panel* panel = AsPanel(panelRecord);
  if (!panel) return;
  surfaceSettingsChanged(static_cast<SurfaceInstance*>(panel->ownerInstance), nullptr);
}

void relabelLightGroupBoosts(const char* const* texts) {
  for (SurfaceInstance* s = firstSurfaceInstance(); s; s = nextSurfaceInstance(s))
    if (s->alive()) relabelInstanceLightGroupBoosts(s, texts);
}

}  // namespace orvik
