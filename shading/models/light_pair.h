#pragma once

#include "shading/models/area_light_sampling.h"
#include "shading/models/light_sample.h"
#include "shading/models/surface_response.h"
#include "shading/models/vec3.h"

namespace orvik {

// Two light points of a linear or area light at once. The grid of such a light is
// shaded at sixteen points for every sample; the chains of square roots and divisions
// that each point waits on run for two points side by side in the two lanes of one
// register. Every operation is the one sampleLight and respondToLight make, in the
// same order, so the results are the same to the last bit.

// sampleLight at (u[i], v[i]) for a linear or area light.
void sampleLightPair(const LightGeometry& light, Vec3 p, const double u[2], const double v[2], LightSample out[2]);

// respondToLight for two light directions.
void respondToLightPair(const PreparedResponse& prepared, const Vec3 l[2], LightTerms terms, SurfaceResponse out[2]);

// The lit- and shadow-weighted responses of a sample to two points of a linear or area
// light: sampleLightPair, then respondToLightPair.
void lightPointPair(const LightGeometry& light, Vec3 p, const PreparedResponse& prepared, LightTerms terms,
                    const double u[2], const double v[2], LightSampleValue out[2]);

}  // namespace orvik
