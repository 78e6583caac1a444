#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Where the thickness cast toward a point p starts: a distant light (l the unit vector
// toward it) casts from falloffDistance * 30 + 10 units away along l, other lights from
// their centre.
struct ThicknessCast {
    Vec3 start;
    double distance = 0.0;
};
ThicknessCast thicknessCastStart(Vec3 p, Vec3 l, bool distant, Vec3 lightCentre, double falloffDistance);

// The material thickness found by a cast of the given length whose first hit lies at t:
// distance - t when the hit is valid (0 <= t <= 999999.9) and before p, else kNoThickness.
inline constexpr double kNoThickness = -99.0;
double thicknessFromCast(double distance, double hit);

}  // namespace orvik
