#pragma once

#include "shading/models/vec3.h"

namespace orvik {

struct TangentFrame {
    Vec3 b1;
    Vec3 b2;
};

// Orthonormal pair perpendicular to the unit vector n. The reference axis is X unless n
// lies almost along X, then Y, then Z, so the frame is stable over a surface.
TangentFrame orthonormalBasis(Vec3 n);

// Unit tangent of n at angle theta (radians) measured from b1 toward b2.
Vec3 tangentAt(Vec3 n, double theta);

}  // namespace orvik
