#include "host/raytrace_primitives.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvik::host {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

Vec3f vec(double x, double y, double z) {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

// Adds the two triangles of the quad a-b-c-d (counter-clockwise seen from
// the side the normals face).
void addQuad(TriangleMesh& m, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  m.triangles.push_back({a, b, c});
  m.triangles.push_back({a, c, d});
}

}  // namespace

TriangleMesh tessellateSphere(double radius, int segments, int rings) {
  segments = std::max(segments, 3);
  rings = std::max(rings, 2);
  TriangleMesh m;
  // A seam column is duplicated so that texture coordinates wrap cleanly.
  for (int j = 0; j <= rings; ++j) {
    const double v = static_cast<double>(j) / rings;
    const double theta = v * std::numbers::pi;  // from +Y down to -Y
    for (int i = 0; i <= segments; ++i) {
      const double u = static_cast<double>(i) / segments;
      const double phi = u * kTwoPi;
      const double nx = std::sin(theta) * std::sin(phi);
      const double ny = std::cos(theta);
      const double nz = std::sin(theta) * std::cos(phi);
      m.positions.push_back(vec(radius * nx, radius * ny, radius * nz));
      m.normals.push_back(vec(nx, ny, nz));
      m.uvs.push_back({static_cast<float>(u), static_cast<float>(1.0 - v)});
    }
  }
  const uint32_t row = static_cast<uint32_t>(segments + 1);
  for (int j = 0; j < rings; ++j) {
    for (int i = 0; i < segments; ++i) {
      const uint32_t a = j * row + i, b = (j + 1) * row + i;
      const uint32_t c = (j + 1) * row + i + 1, d = j * row + i + 1;
      // Skip the degenerate triangle at each pole.
      if (j != 0) m.triangles.push_back({a, b, d});
      if (j != rings - 1) m.triangles.push_back({b, c, d});
    }
  }
  return m;
}

TriangleMesh tessellateBox(double sizeX, double sizeY, double sizeZ) {
  TriangleMesh m;
  const double h[3] = {sizeX * 0.5, sizeY * 0.5, sizeZ * 0.5};
  // For each face: the normal axis, its sign, and the two in-plane axes
  // ordered so that (s, t, normal) is right-handed.
  for (int axis = 0; axis < 3; ++axis) {
    for (int sign = -1; sign <= 1; sign += 2) {
      int s = (axis + 1) % 3, t = (axis + 2) % 3;
      if (sign < 0) std::swap(s, t);
      const uint32_t base = static_cast<uint32_t>(m.positions.size());
      const double corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (const auto& c : corners) {
        double p[3], n[3] = {0, 0, 0};
        p[axis] = sign * h[axis];
        p[s] = c[0] * h[s];
        p[t] = c[1] * h[t];
        n[axis] = sign;
        m.positions.push_back(vec(p[0], p[1], p[2]));
        m.normals.push_back(vec(n[0], n[1], n[2]));
        m.uvs.push_back({static_cast<float>((c[0] + 1) * 0.5), static_cast<float>((c[1] + 1) * 0.5)});
      }
      addQuad(m, base, base + 1, base + 2, base + 3);
    }
  }
  return m;
}

TriangleMesh tessellatePlane(double sizeX, double sizeZ, int divisions) {
  divisions = std::max(divisions, 1);
  TriangleMesh m;
  for (int j = 0; j <= divisions; ++j) {
    const double v = static_cast<double>(j) / divisions;
    for (int i = 0; i <= divisions; ++i) {
      const double u = static_cast<double>(i) / divisions;
      m.positions.push_back(vec((u - 0.5) * sizeX, 0.0, (0.5 - v) * sizeZ));
      m.normals.push_back(vec(0, 1, 0));
      m.uvs.push_back({static_cast<float>(u), static_cast<float>(v)});
    }
  }
  const uint32_t row = static_cast<uint32_t>(divisions + 1);
  for (int j = 0; j < divisions; ++j)
    for (int i = 0; i < divisions; ++i)
      addQuad(m, j * row + i, j * row + i + 1, (j + 1) * row + i + 1, (j + 1) * row + i);
  return m;
}

TriangleMesh tessellateTorus(double majorRadius, double minorRadius, int segments, int sides) {
  segments = std::max(segments, 3);
  sides = std::max(sides, 3);
  TriangleMesh m;
  for (int i = 0; i <= segments; ++i) {
    const double u = static_cast<double>(i) / segments;
    const double phi = u * kTwoPi;
    const double cx = std::cos(phi), cz = -std::sin(phi);
    for (int j = 0; j <= sides; ++j) {
      const double v = static_cast<double>(j) / sides;
      const double theta = v * kTwoPi;
      const double nx = std::cos(theta) * cx, ny = std::sin(theta), nz = std::cos(theta) * cz;
      m.positions.push_back(
          vec(majorRadius * cx + minorRadius * nx, minorRadius * ny, majorRadius * cz + minorRadius * nz));
      m.normals.push_back(vec(nx, ny, nz));
      m.uvs.push_back({static_cast<float>(u), static_cast<float>(v)});
    }
  }
  const uint32_t row = static_cast<uint32_t>(sides + 1);
  for (int i = 0; i < segments; ++i)
    for (int j = 0; j < sides; ++j)
      addQuad(m, i * row + j, (i + 1) * row + j, (i + 1) * row + j + 1, i * row + j + 1);
  return m;
}

}  // namespace orvik::host
