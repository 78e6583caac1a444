#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Luminous shadow darkening: the surface keeps its own colour where lit and turns toward
// the darkening colour in shadow, by the share lit / total of the light that reaches it.
// Returns false, leaving out alone, when no light reaches the point (total < 0.0001).
bool shadowDarkening(Vec3& out, double lit, double total, Vec3 darkColour);

}  // namespace orvik
