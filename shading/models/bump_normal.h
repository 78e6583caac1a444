#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Shading normal with the bump scaled by k: k = 1 reproduces the bumped normal n,
// k = 0 the unbumped normal n0, k > 1 exaggerates the bump. Both inputs are unit vectors.
Vec3 blendBumpNormal(Vec3 n0, Vec3 n, double k);

}  // namespace orvik
