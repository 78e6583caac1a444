#include "host/scene_math.h"

namespace orvik::host {

Affine Affine::operator*(const Affine& o) const {
  Affine r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
  r.t = point(o.t);
  return r;
}

Affine Affine::inverse() const {
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  if (det == 0.0 || !std::isfinite(det)) return Affine{};
  const double inv = 1.0 / det;
  Affine r;
  r.m[0][0] = c00 * inv;
  r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv;
  r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv;
  r.m[1][0] = c01 * inv;
  r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv;
  r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv;
  r.m[2][0] = c02 * inv;
  r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv;
  r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv;
  r.t = -r.direction(t);
  return r;
}

Vec3 Affine::normal(const Vec3& n) const {
  // Rows of the inverse's transpose = columns of the inverse.
  const Affine inv = inverse();
  return normalize({inv.m[0][0] * n.x + inv.m[1][0] * n.y + inv.m[2][0] * n.z,
                    inv.m[0][1] * n.x + inv.m[1][1] * n.y + inv.m[2][1] * n.z,
                    inv.m[0][2] * n.x + inv.m[1][2] * n.y + inv.m[2][2] * n.z});
}

Affine rotationHPB(const Vec3& hpb) {
  const double ch = std::cos(hpb.x), sh = std::sin(hpb.x);
  const double cp = std::cos(hpb.y), sp = std::sin(hpb.y);
  const double cb = std::cos(hpb.z), sb = std::sin(hpb.z);
  Affine heading, pitch, bank;
  // Heading about +Y: +Z toward +X.
  heading.m[0][0] = ch;  heading.m[0][2] = sh;
  heading.m[2][0] = -sh; heading.m[2][2] = ch;
  // Pitch about +X: +Z toward -Y.
  pitch.m[1][1] = cp; pitch.m[1][2] = -sp;
  pitch.m[2][1] = sp; pitch.m[2][2] = cp;
  // Bank about +Z: +X toward -Y, a clockwise roll seen from behind.
  bank.m[0][0] = cb;  bank.m[0][1] = sb;
  bank.m[1][0] = -sb; bank.m[1][1] = cb;
  return heading * pitch * bank;
}

Affine composeTransform(const Vec3& position, const Vec3& hpbRadians, const Vec3& scale) {
  Affine r = rotationHPB(hpbRadians);
  for (int i = 0; i < 3; ++i) {
    r.m[i][0] *= scale.x;
    r.m[i][1] *= scale.y;
    r.m[i][2] *= scale.z;
  }
  r.t = position;
  return r;
}

}  // namespace orvik::host
