// The surface instance callbacks with the host's handler signatures, ready to
// be put into the shader handler record, and the description line.
#pragma once

#include "sdk/shader.h"

namespace orvik {

struct SurfaceInstance;

inline constexpr const char* kSurfaceDescription = "Orvik Lighting and Shading System";
inline constexpr const char* kSurfaceDescriptionFormat = "Orvik: %s";
inline constexpr const char* kSurfaceDescriptionModeler = "Orvik: Inactive in Modeler";

// The description line of a surface: "Orvik: Inactive in Modeler" in the
// Modeler, else the comment ("Orvik: %s") or the plain name when the comment
// is empty. Formatted into one module-wide buffer that the next call overwrites.
const char* surfaceDescriptionLine(SurfaceInstance* inst);

HostInstance surfaceHandlerCreate(void* priv, void* context, ::HostError* error);
void surfaceHandlerDestroy(HostInstance inst);
::HostError surfaceHandlerCopy(HostInstance to, HostInstance from);
const char* surfaceHandlerDescription(HostInstance inst);
const HostItemId* surfaceHandlerUseItems(HostInstance inst);
void surfaceHandlerChangeId(HostInstance inst, const HostItemId* ids);
::HostError surfaceHandlerInit(HostInstance inst, int mode);
void surfaceHandlerCleanup(HostInstance inst);
::HostError surfaceHandlerNewTime(HostInstance inst, int frame, double time);

// Fills the instance, item and render entries of a shader handler record
// that belong to the surface instance (create, destroy, copy, description,
// use-items, change-ID, init, cleanup, new time). In the Modeler the render
// entries are null. Load, save, evaluate and flags are left as they are.
void installSurfaceCallbacks(HostShaderHandler* record, bool inModeler);

}  // namespace orvik
