// The eight Layout commands: they put the shader, the master and the pixel
// filter into the scene and take the shader out again, open the master panel
// and preview windows, start a preview render run, and hide or show the
// module's windows.
#pragma once

#include "sdk/orvik_sdk.h"

namespace orvik {

struct SurfaceInstance;

enum class LayoutCommand {
  AddPreview,
  AddToObjects,
  AddToAll,
  RemoveFromObjects,
  OpenMaster,
  Render,
  HidePreviews,
  HideAll,
};

// Host command strings.
inline constexpr const char *kImageEditorOffCommand = "ImageEditor 0";
inline constexpr const char *kAddShaderCommand = "Surf_AddShader Orvik";
inline constexpr const char *kRemoveShaderCommand = "Surf_RemShader Orvik";

// Messages.
inline constexpr const char *kNeedsNewerHost1 = "Unfortunately, this Orvik utility";
inline constexpr const char *kNeedsNewerHost2 = "requires LightWave 7.0 or later.";
inline constexpr const char *kAddedFormat = "Orvik added to %ld new surfaces of %ld objects.";
inline constexpr const char *kRemovedFormat = "Orvik was removed from %ld surfaces of %ld objects.";

// What the commands need of the windows; the owners of preview windows,
// pixel-information windows and panels fill the slots. Every slot may be
// empty: the step is then skipped (counts read as none).
struct CommandHooks {
  // Frees the preview windows the user closed, pausing 15 ms after each.
  void (*discardClosedPreviewWindows)() = nullptr;
  void (*openNewPreviewWindow)() = nullptr;
  void (*openMasterPanel)() = nullptr;
  // Closes a surface's panel window when it is open.
  void (*closeSurfacePanel)(SurfaceInstance *inst) = nullptr;
  // Preview and pixel-information windows: is any hidden; hide or show all.
  bool (*anyPreviewWindowHidden)() = nullptr;
  void (*setPreviewWindowsHidden)(bool hidden) = nullptr;
  // The master panel and the surface panels: is any hidden; hide or show all.
  bool (*anyPanelHidden)() = nullptr;
  void (*setPanelsHidden)(bool hidden) = nullptr;
};
void setCommandHooks(const CommandHooks &hooks);
const CommandHooks &commandHooks();

// Runs one command after its activation acquired the host services.
// Commands are sent through the generic record's evaluate function.
void runLayoutCommand(LayoutCommand command, HostGlobalFunc global,
                      const HostLayoutGeneric *generic);

// The instance that carries the shader for a host surface, or null.
SurfaceInstance *surfaceInstanceFor(HostSurfaceId surface);

// The hide/unhide toggle of all the module's windows (also run by the
// master when the host hides its windows).
void toggleHideAll();

}  // namespace orvik
