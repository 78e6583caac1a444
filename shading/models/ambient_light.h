#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// The master's vertical ambient gradient for the up component y of the shading normal:
// the top colour blends in over the upper half, the bottom colour over the lower half, the
// middle colour at the horizon, each smoothly ((3 - 2|y|) y^2). Colours are 0..255; the
// result is a factor per channel.
Vec3 ambientGradient(double y, Vec3 top, Vec3 middle, Vec3 bottom);

// Scale of the global illumination with the master's contrast: with the largest cache
// component m > 0, (weight / m) (2m)^(1.98 contrast + 0.01) / 2, so a contrast of 0.5
// leaves it linear; weight alone when m <= 0.
double globalIlluminationScale(double weight, double largestComponent, double contrast);

}  // namespace orvik
