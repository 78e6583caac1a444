#pragma once

#include "shading/models/vec3.h"

namespace orvik {

enum class AnisotropyType { Linear = 0, Cylindrical = 1, Radial = 2 };

// Object-to-world rotation of a sample: world = rows[0..2] . object, row by row.
struct Rotation3 {
    Vec3 rows[3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
};

// Reference angle (radians) of the anisotropy direction around the shading normal.
// Linear: the object axis (0 X, 1 Y, 2 Z); Cylindrical: the object position with that
// axis component removed; Radial: the object position. The reference point is rotated
// into world space and measured in the tangent frame of the unit normal.
double anisotropyAngle(AnisotropyType type, int axis, Vec3 objectPosition, const Rotation3& toWorld,
                       Vec3 normal);

}  // namespace orvik
