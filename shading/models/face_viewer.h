#pragma once

#include "shading/models/vec3.h"

namespace orvik {

struct FacedNormal {
    Vec3 normal;    // the (possibly bent) unit normal
    double cosine;  // its cosine with the view vector
};

// Bends a normal that faces away from the viewer just far enough to face it.
// Cosines of 0.02 and more pass unchanged; below that the target cosine falls smoothly
// from 0.02 to 0.0002 (at a cosine of -1), and an exactly opposed normal becomes v.
// v and n are unit vectors; v points from the surface toward the viewer.
FacedNormal faceViewer(Vec3 v, Vec3 n);

}  // namespace orvik
