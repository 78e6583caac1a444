// What the master asks of the rest of the module: the preview side (stores,
// preview windows, pixel-information windows), the surface side (group
// labels, opening a surface panel) and the host (the item selection). The
// owners of those parts fill the slots at start-up; every slot may be empty,
// and the master then skips that step.
#pragma once

#include "panels/panel.h"

namespace orvik {

struct MasterHooks {
    // Teardown, in this order on destroy: pixel-information windows, preview
    // windows, stored preview frames (each list left empty).
    void (*freePixelInfoWindows)() = nullptr;
    void (*freePreviewWindows)() = nullptr;
    void (*freePreviewStores)() = nullptr;
    // "Free Previews" closes the windows before freeing them.
    void (*closePixelInfoWindows)() = nullptr;
    void (*closePreviewWindows)() = nullptr;

    // For every stored frame: append the scene lights it lacks, then re-read
    // all its lights (minimum distance and group masks included).
    void (*refreshStoreLights)() = nullptr;
    void (*reshadePreviews)() = nullptr;
    void (*redrawPixelInfoWindows)() = nullptr;
    void (*updateComparisons)() = nullptr;
    void (*updateMemoryText)() = nullptr;
    // Group membership changed: every preview window recomputes its lights'
    // masks, its group filter buttons and label, and re-shades.
    void (*previewGroupsChanged)() = nullptr;
    // Group notes changed: every preview window updates its filter label.
    void (*previewFilterLabelsChanged)() = nullptr;
    // The "Add New Preview" and "Refresh Previews" buttons.
    void (*newPreview)() = nullptr;
    void (*refreshPreviews)() = nullptr;
    // Item IDs changed: every store's light records take the new IDs, then
    // every preview window recomputes its masks and its light-filter label.
    void (*changePreviewItemIds)(const ItemIdPair* pairs) = nullptr;

    // The window layer: open a panel's window (modeless) and bring an open one to the front.
    void (*showPanel)(Panel* panel) = nullptr;
    void (*raisePanel)(Panel* panel) = nullptr;

    // The host's current item selection, in selection order; returns the count.
    int (*selectedItems)(ItemHandle* out, int capacity) = nullptr;
    // A two-line warning through the host's message service.
    void (*warning)(const char* line1, const char* line2) = nullptr;
};

void setMasterHooks(const MasterHooks& hooks);
const MasterHooks& masterHooks();

// The selection and the warning through their hooks when set, else straight
// from the host's "LW Interface Info" and "Info Messages".
int masterSelectedItems(ItemHandle* out, int capacity);
void masterWarning(const char* line1, const char* line2);

// Relabels every surface's twelve per-light-group boosts. notes is null when
// no master exists (labels are then the group numbers alone), else the
// twelve group notes.
using SurfaceRelabelHook = void (*)(const char* const* notes);
void setSurfaceRelabelHook(SurfaceRelabelHook hook);
SurfaceRelabelHook surfaceRelabelHook();

}  // namespace orvik
