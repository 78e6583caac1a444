#pragma once

#include "shading/models/area_light_sampling.h"
#include "shading/models/light_sample.h"
#include "shading/models/surface_response.h"
#include "shading/models/vec3.h"

namespace orvik {

// A row of four light points of a linear or area light at once. The grid of such a
// light is shaded at sixteen points for every sample; the chains of square roots and
// divisions that each point waits on run for several points side by side, in the lanes
// of vector registers: four with AVX2, else two at a time. Every operation is the one
// sampleLight and respondToLight make, in the same order, so the results are the same to
// the last bit on either path.
inline constexpr int kLightPointRow = 4;

enum class LightPointLanes { Best, Two, Four };

// Whether this processor runs the four-lane path (Best and Four take it then).
bool fourLightPointLanesAvailable();

// sampleLight at (u[i], v[i]) for a linear or area light.
void sampleLightPoints(const LightGeometry& light, Vec3 p, const double u[kLightPointRow],
                       const double v[kLightPointRow], LightSample out[kLightPointRow],
                       LightPointLanes lanes = LightPointLanes::Best);

// respondToLight for as many light directions.
void respondToLightPoints(const PreparedResponse& prepared, const Vec3 l[kLightPointRow], LightTerms terms,
                          SurfaceResponse out[kLightPointRow], LightPointLanes lanes = LightPointLanes::Best);

// The lit- and shadow-weighted responses of a sample to that many points of a linear or
// area light: sampleLightPoints, then respondToLightPoints.
void shadeLightPoints(const LightGeometry& light, Vec3 p, const PreparedResponse& prepared, LightTerms terms,
                      const double u[kLightPointRow], const double v[kLightPointRow],
                      LightSampleValue out[kLightPointRow], LightPointLanes lanes = LightPointLanes::Best);

}  // namespace orvik
