#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Normal of a polygon from its four vertex positions by Newell's method (not normalised):
// robust for non-planar quads and for triangles given with a repeated vertex.
Vec3 newellNormal(const Vec3 (&vertices)[4]);

// A sample is back-facing when its polygon's winding normal points against the
// geometric normal the host reports.
bool isBackFacing(const Vec3 (&vertices)[4], Vec3 geometricNormal);

}  // namespace orvik
