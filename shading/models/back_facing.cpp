#include "shading/models/back_facing.h"

namespace orvik {

Vec3 newellNormal(const Vec3 (&v)[4]) {
    Vec3 n;
    for (int i = 0; i < 4; ++i) {
        const Vec3& a = v[i];
        const Vec3& b = v[(i + 1) % 4];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

bool isBackFacing(const Vec3 (&vertices)[4], Vec3 geometricNormal) {
    return dot(newellNormal(vertices), geometricNormal) < 0.0;
}

}  // namespace orvik
