// The life of surface instances: creation and destruction with the
// module-wide list, copy, the item callbacks, render init/cleanup, new time,
// and the panel's change callback. The host-signature wrappers are in
// surface_handler.h.
#pragma once

#include "panels/control.h"

namespace orvik {

struct SurfaceInstance;
struct Panel;

// Messages of a failed creation.
inline constexpr const char* kCreateNoMemoryMessage = "Orvik: Cannot Allocate enough RAM for Creation!";
inline constexpr const char* kCreateNoMemoryError = "Error Creating GUI.. Need more RAM?";
inline constexpr const char* kCopyFailed = "Copy Failed";

// Pauses of destroy while preview windows let go of the instance.
inline constexpr int kDestroyFirstPauseMs = 15;
inline constexpr int kDestroyWaitStepMs = 200;

// Hook points through which the instances reach work done elsewhere (preview
// and pixel-information windows, the master panel, the light context, the
// panel windows). Every hook may be null: it then does nothing (or answers
// "none").
struct SurfaceHooks {
  // Every open preview window re-composes its image.
  void (*recomposePreviews)() = nullptr;
  // Every open pixel-information window re-shades its pixel.
  void (*reshadePixelInfo)() = nullptr;
  // The master panel updates its display.
  void (*updateMasterDisplay)() = nullptr;
  // Number of preview windows that exist.
  int (*previewWindowCount)() = nullptr;
  // Whether any preview window still refers to the instance.
  bool (*previewRefersTo)(const SurfaceInstance* inst) = nullptr;
  // Gathers the scene's lights for this frame and time into the module-wide
  // light context and makes it the current one.
  void (*gatherLights)(int frame, double time) = nullptr;
  // The master's twelve light-group note texts; false when there is no
  // master. Unset: asked of the master itself.
  bool (*lightGroupNotes)(const char* texts[12]) = nullptr;
  // Panel windows: commit the pending edit of the focused field, close the
  // window, hide or show it again.
  void (*commitPendingEdits)(Panel* panel) = nullptr;
  void (*closePanelWindow)(Panel* panel) = nullptr;
  void (*setPanelWindowHidden)(Panel* panel, bool hidden) = nullptr;
  // Sleeping while destroy waits (tests shorten it).
  void (*sleepMs)(int ms) = nullptr;
};
void setSurfaceHooks(const SurfaceHooks& hooks);
const SurfaceHooks& surfaceHooks();

// create: builds the instance for the host surface `context`. In Layout with
// a context it asks the host whether the surface is in the scene, runs new
// time at frame 0 and puts the instance at the head of the module-wide list;
// in Modeler or without a context it is not listed. On failure returns null
// with *error set (and the host shown the message).
SurfaceInstance* createSurfaceInstance(void* context, const char** error);

// destroy: unlinks, clears the last-edited mark, closes the panel window,
// waits for preview windows to let go, and frees everything.
void destroySurfaceInstance(SurfaceInstance* inst);

// copy: null, or "Copy Failed".
const char* copySurfaceInstance(SurfaceInstance* to, const SurfaceInstance* from);

// useItems: the scene items the controls refer to, ended by a null entry, in
// a module-wide buffer that lives until the next call.
void* const* surfaceUseItems(SurfaceInstance* inst);

// changeID: pairs of old and new item ids, ended by a null old id.
void surfaceChangeIds(SurfaceInstance* inst, void* const* ids);

// init (render mode 0 preview, 1 full render) and cleanup.
void surfaceRenderInit(SurfaceInstance* inst, int mode);
void surfaceRenderCleanup(SurfaceInstance* inst);

// newTime: resets the per-thread records, gathers the lights, copies the
// render options, prepares, stores frame and time.
void surfaceNewTime(SurfaceInstance* inst, int frame, double time);

// The panel's change callback: a setting changed in the panel. `changed` is
// the control that changed (null when unknown).
void surfaceSettingsChanged(SurfaceInstance* inst, Control* changed);
// Value hook of every surface control and the panel header's `changed` slot.
void surfaceControlChanged(Control* c);
void surfacePanelChanged(Control* panel);

// Rebuilds the labels of every listed surface's light-group boosts from the
// master's twelve group note texts, or plain numbers when texts is null.
// The master calls it when its group notes change.
void relabelLightGroupBoosts(const char* const* texts);

// The module-wide list of surface instances, newest first.
SurfaceInstance* firstSurfaceInstance();
SurfaceInstance* nextSurfaceInstance(const SurfaceInstance* inst);

}  // namespace orvik
