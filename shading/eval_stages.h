// Stages shared by the render's evaluate and ShadeSample: the sample's view,
// the edge stage on the host channels, the surface model the light drivers
// read, and the per-light translucency thickness.
#pragma once

#include <cstdint>

#include "sdk/shader.h"
#include "shading/eval_settings.h"
#include "shading/light_list.h"
#include "shading/models/specular_layer.h"
#include "shading/models/surface_response.h"
#include "shading/models/vec3.h"

namespace orvik {

struct SurfaceInstance;

inline Vec3 vecOf(const double v[3]) { return {v[0], v[1], v[2]}; }
inline void store(double v[3], Vec3 a) {
  v[0] = a.x;
  v[1] = a.y;
  v[2] = a.z;
}

// No object: null and the host's "none" id.
bool sampleHasObject(const HostShaderAccess* sa);

// Unit vector from the sample toward the ray source ((0, 1, 0) when they coincide).
Vec3 sampleView(const HostShaderAccess* sa);

// Edge stage on the record's channels and colour; returns the edge factor e.
double edgeStage(const EvalSettings& s, Vec3 v, HostShaderAccess* sa);

// The surface model of the drivers, with the instance's prepared layers copied into
// `layers` (which must outlive the model).
SurfaceModel surfaceModelOf(const SurfaceInstance& inst, const EvalSettings& s,
                            SpecularLayer (&layers)[3]);

// Thickness of material between a light and p (Part of translucent lighting): a cast
// from the light toward p with rayMode 7 and mediumIndex eta; kNoThickness when none.
double lightThicknessAt(HostShaderAccess* sa, const LightRecord& light, Vec3 p, double eta, double falloffDistance);

// Back-facing test of the record's polygon.
bool sampleBackFacing(const HostShaderAccess* sa);

}  // namespace orvik
