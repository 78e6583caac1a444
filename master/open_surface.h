// "Open Surface" on the master panel: the surface whose panel opens next.
// The pixel-information window chooses the surface under its pixel; without
// a choice the first surface instance attached to a host surface is taken.
#pragma once

namespace orvik {

struct SurfaceInstance;
struct Panel;

// What the master needs of the surface side, filled by its owner.
struct SurfaceAccess {
    // The next instance of the module's surface list (newest first); null ends it.
    SurfaceInstance* (*next)(SurfaceInstance* s) = nullptr;
    // Whether the instance is attached to a host surface.
    bool (*attached)(SurfaceInstance* s) = nullptr;
    // Opens the instance's panel.
    void (*openPanel)(SurfaceInstance* s) = nullptr;
    // The instance's panel.
    Panel* (*panel)(SurfaceInstance* s) = nullptr;
};
const SurfaceAccess& surfaceAccess();
void setSurfaceAccess(const SurfaceAccess& access);

// The choice of the next surface to open; a destroyed instance must be forgotten.
void setNextSurfaceToOpen(SurfaceInstance* s);
SurfaceInstance* nextSurfaceToOpen();
void forgetSurfaceToOpen(SurfaceInstance* s);

// Opens the chosen surface's panel, else the first attached one. Returns the
// instance opened, or null when none was.
SurfaceInstance* openChosenSurface();

}  // namespace orvik
