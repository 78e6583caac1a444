#include "shading/models/anisotropy_angle.h"

#include <cmath>

#include "shading/models/tangent_frame.h"

namespace orvik {

double anisotropyAngle(AnisotropyType type, int axis, Vec3 objectPosition, const Rotation3& toWorld,
                       Vec3 normal) {
    if (axis < 0 || axis > 2) axis = 0;
    double p[3] = {objectPosition.x, objectPosition.y, objectPosition.z};
    switch (type) {
        case AnisotropyType::Linear:
            p[0] = p[1] = p[2] = 0.0;
            p[axis] = 1.0;
            break;
        case AnisotropyType::Cylindrical:
            p[axis] = 0.0;
            break;
        case AnisotropyType::Radial:
            break;
    }
    const Vec3 local{p[0], p[1], p[2]};
    const Vec3 world{dot(toWorld.rows[0], local), dot(toWorld.rows[1], local), dot(toWorld.rows[2], local)};
    const TangentFrame f = orthonormalBasis(normal);
    return std::atan2(dot(world, f.b2), dot(world, f.b1));
}

}  // namespace orvik
