#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Mirror direction of v (pointing from the surface toward the viewer) about n.
Vec3 reflect(Vec3 v, Vec3 n);

struct Refraction {
    Vec3 direction;
    bool totalInternal = false;
};

// Refracted direction for ratio = material index / current medium index. Nearly matching
// indices (0.994 < 1/ratio < 1.006) pass straight through as -v; past the critical angle
// the mirror direction is returned with totalInternal set.
Refraction refract(Vec3 v, Vec3 n, double ratio);

}  // namespace orvik
