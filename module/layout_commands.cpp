#include "module/layout_commands.h"

#include <cstdio>
#include <vector>

#include "master/master_events.h"
#include "master/master_instance.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"

namespace orvik {
namespace {

CommandHooks g_hooks;

// The questions of the object commands: title and two lines.
struct Question {
  const char *title, *line1, *line2;
};
constexpr Question kAddToObjectsQuestion = {"Add Orvik to Objects",
                                            "Are you sure that you want to add the Orvik",
                                            "Shader to every surface of the picked object(s)?"};
constexpr Question kAddToAllQuestion = {"Add Orvik to All Objects",
                                        "Are you sure that you want to add the Orvik",
                                        "Shader to every surface of every object?"};
constexpr Question kRemoveQuestion = {"Remove Orvik from Objects",
                                      "Are you sure that you want to strip the Orvik Shader",
                                      "from every surface of the picked objects?"};

// Everything one command run needs of the host.
struct CommandContext {
  HostGlobalFunc global;
  const HostLayoutGeneric *generic;

  void send(const char *command) const {
    if (generic && generic->evaluate) generic->evaluate(generic->data, command);
  }
  template <typename T>
  const T *service(const char *name) const {
    return global ? static_cast<const T *>(global(name, HOST_GFUSE_TRANSIENT)) : nullptr;
  }
};

bool newerHost() { return hostServices().replacementOutput(); }

void sendApplyServers(const CommandContext &ctx) {
  if (!registry().activeMaster.load()) ctx.send("ApplyServer MasterHandler Orvik");
  if (!registry().activePixelFilter.load()) ctx.send("ApplyServer PixelFilterHandler Orvik");
}

// A question without the host's question function counts as Cancel: the
// scene is never changed unasked.
bool confirmed(const Question &q) {
  const HostMessageFuncs2 *messages = hostServices().messages2();
  if (!messages || !messages->okCancel) return false;
  return messages->okCancel(q.title, q.line1, q.line2) == HOST_ANSWER_OK;
}

void showCounts(const char *format, long surfaces, long objects) {
  char text[160];
  std::snprintf(text, sizeof text, format, surfaces, objects);
  showInfo(text, nullptr);
}

// The selected items that are objects, in selection order.
std::vector<HostItemId> selectedObjects(const CommandContext &ctx) {
  std::vector<HostItemId> objects;
  const auto *ui = ctx.service<HostInterfaceInfo>(HOST_INTERFACE_INFO_NAME);
  const HostItemInfo1 *items = hostServices().itemInfo;
  if (!ui || !ui->selItems || !items || !items->type) return objects;
  for (const HostItemId *item = ui->selItems; *item; ++item)
    if (items->type(*item) == HOST_ITEM_OBJECT) objects.push_back(*item);
  return objects;
}

std::vector<HostItemId> allObjects() {
  std::vector<HostItemId> objects;
  const HostItemInfo1 *items = hostServices().itemInfo;
  if (!items || !items->first || !items->next) return objects;
  for (HostItemId item = items->first(HOST_ITEM_OBJECT, nullptr); item; item = items->next(item))
    objects.push_back(item);
  return objects;
}

// The surfaces of an object, found by the object's file name.
std::vector<HostSurfaceId> surfacesOf(HostItemId object) {
  std::vector<HostSurfaceId> surfaces;
  const HostServices &s = hostServices();
  if (!s.objectInfo || !s.objectInfo->filename || !s.surfaces || !s.surfaces->byObject)
    return surfaces;
  const char *file = s.objectInfo->filename(object);
  if (!file) return surfaces;
  const HostSurfaceId *list = s.surfaces->byObject(file);
  for (; list && *list; ++list) surfaces.push_back(*list);
  return surfaces;
}

void showNeedsNewerHost() { showError(kNeedsNewerHost1, kNeedsNewerHost2); }

// Adds the shader to every surface of the object that does not carry it yet;
// returns the number of surfaces so treated.
long addShaderToObject(const CommandContext &ctx, HostItemId object) {
  if (!newerHost()) {
    showNeedsNewerHost();
    return 0;
  }
  const auto *editor = ctx.service<HostSurfaceEditorFuncs>(HOST_SURFACE_EDITOR_NAME);
  if (!editor || !editor->setSurface) return 0;
  long added = 0;
  for (HostSurfaceId surface : surfacesOf(object)) {
    if (surfaceInstanceFor(surface)) continue;
    editor->setSurface(surface);
    ctx.send(kAddShaderCommand);
    ++added;
  }
  return added;
}

// Removes the shader from every surface of the object that carries it;
// returns the number of surfaces so treated.
long removeShaderFromObject(const CommandContext &ctx, HostItemId object) {
  const auto *editor = ctx.service<HostSurfaceEditorFuncs>(HOST_SURFACE_EDITOR_NAME);
  if (!editor || !editor->setSurface) return 0;
  long removed = 0;
  for (HostSurfaceId surface : surfacesOf(object)) {
    SurfaceInstance *inst = surfaceInstanceFor(surface);
    if (!inst) continue;
    // The instance stops answering for the surface while the host destroys it.
    inst->runtime.surfaceId.set(0);
    inst->runtime.inScene.set(0);
    if (g_hooks.closeSurfacePanel) g_hooks.closeSurfacePanel(inst);
    editor->setSurface(surface);
    ctx.send(kRemoveShaderCommand);
    ++removed;
  }
  return removed;
}

void addToObjects(const CommandContext &ctx, bool everyObject) {
  if (!newerHost()) {
    showNeedsNewerHost();
    return;
  }
  if (!confirmed(everyObject ? kAddToAllQuestion : kAddToObjectsQuestion)) return;
  if (everyObject) sendApplyServers(ctx);
  long surfaces = 0, objects = 0;
  for (HostItemId object : everyObject ? allObjects() : selectedObjects(ctx)) {
    surfaces += addShaderToObject(ctx, object);
    ++objects;
  }
  showCounts(kAddedFormat, surfaces, objects);
}

void removeFromObjects(const CommandContext &ctx) {
  if (!confirmed(kRemoveQuestion)) return;
  long surfaces = 0, objects = 0;
  for (HostItemId object : selectedObjects(ctx)) {
    surfaces += removeShaderFromObject(ctx, object);
    ++objects;
  }
  showCounts(kRemovedFormat, surfaces, objects);
}

int sendThroughGeneric(void *data, const char *command) {
  const auto *generic = static_cast<const HostLayoutGeneric *>(data);
  return generic && generic->evaluate ? generic->evaluate(generic->data, command) : 0;
}

// The run itself is the master's: it marks the windows, switches the host's
// auto-confirm on and remembers the selection.
void startRenderRun(const CommandContext &ctx) {
  MasterInstance *master = registry().activeMaster.load();
  if (!master || !registry().activePixelFilter.load() || !registry().previewWindows.load()) return;
  const auto *ui = ctx.service<HostInterfaceInfo>(HOST_INTERFACE_INFO_NAME);
  HostItemId first = (ui && ui->selItems) ? ui->selItems[0] : nullptr;
  beginPreviewRun(master, first, sendThroughGeneric, const_cast<HostLayoutGeneric *>(ctx.generic));
}

void togglePreviewWindows(const CommandContext &ctx) {
  const bool anyHidden = g_hooks.anyPreviewWindowHidden && g_hooks.anyPreviewWindowHidden();
  if (!anyHidden) {
    if (g_hooks.setPreviewWindowsHidden) g_hooks.setPreviewWindowsHidden(true);
    return;
  }
  if (newerHost()) ctx.send(kImageEditorOffCommand);
  if (g_hooks.setPreviewWindowsHidden) g_hooks.setPreviewWindowsHidden(false);
}

}  // namespace

void setCommandHooks(const CommandHooks &hooks) { g_hooks = hooks; }
const CommandHooks &commandHooks() { return g_hooks; }

SurfaceInstance *surfaceInstanceFor(HostSurfaceId surface) {
  if (!surface) return nullptr;
  const auto id = reinterpret_cast<uintptr_t>(surface);
  for (SurfaceInstance *inst = firstSurfaceInstance(); inst; inst = nextSurfaceInstance(inst))
    if (inst->runtime.surfaceId.get() == id) return inst;
  return nullptr;
}

void toggleHideAll() {
  const bool anyHidden = (g_hooks.anyPreviewWindowHidden && g_hooks.anyPreviewWindowHidden()) ||
                         (g_hooks.anyPanelHidden && g_hooks.anyPanelHidden());
  if (g_hooks.setPreviewWindowsHidden) g_hooks.setPreviewWindowsHidden(!anyHidden);
  if (g_hooks.setPanelsHidden) g_hooks.setPanelsHidden(!anyHidden);
}

void runLayoutCommand(LayoutCommand command, HostGlobalFunc global,
                      const HostLayoutGeneric *generic) {
  const CommandContext ctx{global, generic};
  if (g_hooks.discardClosedPreviewWindows) g_hooks.discardClosedPreviewWindows();
  if (command != LayoutCommand::RemoveFromObjects) sendApplyServers(ctx);
  switch (command) {
    case LayoutCommand::Render:
      startRenderRun(ctx);
      break;
    case LayoutCommand::OpenMaster:
      if (g_hooks.openMasterPanel) g_hooks.openMasterPanel();
      break;
    case LayoutCommand::AddPreview:
      if (newerHost()) ctx.send(kImageEditorOffCommand);
      if (g_hooks.openNewPreviewWindow) g_hooks.openNewPreviewWindow();
      break;
    case LayoutCommand::AddToObjects:
      addToObjects(ctx, false);
      break;
    case LayoutCommand::AddToAll:
      addToObjects(ctx, true);
      break;
    case LayoutCommand::RemoveFromObjects:
      removeFromObjects(ctx);
      break;
    case LayoutCommand::HidePreviews:
      togglePreviewWindows(ctx);
      break;
    case LayoutCommand::HideAll:
      toggleHideAll();
      break;
  }
}

}  // namespace orvik
