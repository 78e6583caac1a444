// What the surface panel does beyond holding its controls: its title, the
// open and event callbacks, the reset, master, next-surface and pin buttons,
// and the art-mode swatch.
#pragma once

#include <cstddef>

namespace orvik {

struct SurfaceInstance;

inline constexpr const char* kSurfaceTitleFormat = "Orvik:  Surface \"%s\" on Object \"%s\"";
inline constexpr const char* kSurfaceTitleFallback = "Orvik Surface Shader";
// The toolkit's panel event that unpins a panel.
inline constexpr int kPanelEventUnpin = 4;

// Work done by the windows of other parts; each hook may be null.
struct SurfacePanelHooks {
  // Opens the master panel.
  void (*openMasterPanel)() = nullptr;
  // Opens the panel of `target`; when `replacing` is not null, at its window's
  // place (already copied into target's placement) and then closes it.
  void (*openSurfacePanel)(SurfaceInstance* target, SurfaceInstance* replacing) = nullptr;
};
void setSurfacePanelHooks(const SurfacePanelHooks& hooks);

// The file name of an object without directory and extension.
void objectBaseName(const char* path, char* out, size_t capacity);
// The panel title for a surface and its object (null object: the fallback).
void formatSurfaceTitle(const char* surfaceName, const char* objectPath, char* out, size_t capacity);
// Sets the panel's title from the host's names of the surface and object.
void updateSurfacePanelTitle(SurfaceInstance* inst);

// Open callback: ghosts "Open Master" without a master, marks the surface
// last edited, sets the title, applies the ghosting rules, draws the swatch.
void surfacePanelOpening(SurfaceInstance* inst);
// Event callback: event 4 switches "Pin" off; other events are ignored.
void surfacePanelEvent(SurfaceInstance* inst, int code);

// The buttons.
void resetSurfaceBoosts(SurfaceInstance* inst);
void resetSurfaceEdges(SurfaceInstance* inst);
void openMasterClicked(SurfaceInstance* inst);
// The next instance in the list from `from` (forwards towards older ones,
// wrapping to the newest; backwards wrapping to the oldest) that is in the
// scene and whose panel is not open; null when the walk comes back to `from`.
SurfaceInstance* findNextSurface(SurfaceInstance* from, bool backwards);
void nextSurfaceClicked(SurfaceInstance* inst, bool backwards);

// Opens the instance's panel where it was last (the master's "Open Surface").
void openSurfacePanel(SurfaceInstance* inst);

// Redraws the art-mode swatch from ART_IMNAME, ART_ROTATE and ART_SQUEEZE.
void redrawArtSwatch(SurfaceInstance* inst);

// Gives the panel's buttons their click hooks (called once the panel exists).
void installSurfacePanelActions(SurfaceInstance* inst);

}  // namespace orvik
