#include "shading/models/bump_normal.h"

#include <cmath>

namespace orvik {

namespace {
// Keeps the tangential scale finite when the bumped normal is nearly perpendicular.
constexpr double kPerpendicularGuard = 0.00001;
constexpr double kScaleSlack = 1.00001;
}  // namespace

Vec3 blendBumpNormal(Vec3 n0, Vec3 n, double k) {
    const double d = dot(n0, n);
    const Vec3 tangential = n - n0 * d;
    const double s = k * kScaleSlack / (d + kPerpendicularGuard);
    if (!std::isfinite(s)) {
        // At the pole of the scale the blend tends to the tangential direction alone.
        return k == 0.0 ? n0 : normalize(tangential);
    }
    return normalize(n0 + tangential * s);
}

}  // namespace orvik
