// The capture entry the sample evaluation calls: whether a sample should be
// captured into the current preview store, and the capture itself.
#pragma once

#include <cstdint>

#include "preview/preview_store.h"
#include "sdk/shader.h"

namespace orvik {

struct SurfaceInstance;
struct LightList;

// Yes for a full render's camera-ray sample on an object whose pixel falls on
// a still unrendered cell of the active filter's current store.
bool captureWanted(const SurfaceInstance* inst, const HostShaderAccess* sa);

// Captures the sample into the current store's channel set. The inputs carry
// the evaluation's own values; the surface's identity is taken from inst.
bool captureSample(const SurfaceInstance* inst, CaptureInputs in);

// Fills the evaluation's capture hooks with the two above.
void installCaptureHooks();

}  // namespace orvik
