#include "shading/models/tangent_frame.h"

#include <cmath>

namespace orvik {

namespace {
// Beyond this absolute component the axis is too close to n to serve as reference.
constexpr double kAxisAlignedLimit = 0.999;
}  // namespace

TangentFrame orthonormalBasis(Vec3 n) {
    Vec3 reference{1.0, 0.0, 0.0};
    if (std::fabs(n.x) >= kAxisAlignedLimit) {
        reference = std::fabs(n.y) >= kAxisAlignedLimit ? Vec3{0.0, 0.0, 1.0} : Vec3{0.0, 1.0, 0.0};
    }
    const Vec3 b1 = normalize(cross(n, reference));
    return {b1, cross(n, b1)};
}

Vec3 tangentAt(Vec3 n, double theta) {
    const TangentFrame f = orthonormalBasis(n);
    return f.b1 * std::cos(theta) + f.b2 * std::sin(theta);
}

}  // namespace orvik
