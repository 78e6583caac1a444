// Small vector and affine-transform helpers for the reference host's scene.
// Coordinates follow the host's convention: +X right, +Y up, +Z forward
// (left-handed); an item looks along its local +Z.
#pragma once

#include <cmath>

namespace orvik::host {

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr Vec3() = default;
  constexpr Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

  constexpr double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr Vec3 operator-() const { return {-x, -y, -z}; }
  constexpr Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
  constexpr Vec3 operator/(double s) const { return {x / s, y / s, z / s}; }
  constexpr Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
  constexpr bool operator==(const Vec3&) const = default;
};

constexpr Vec3 operator*(double s, const Vec3& v) { return v * s; }
constexpr double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
constexpr Vec3 lerp(const Vec3& a, const Vec3& b, double t) { return a + (b - a) * t; }
inline double length(const Vec3& v) { return std::sqrt(dot(v, v)); }
// A zero vector normalises to (0, 1, 0), as everywhere in shading.
inline Vec3 normalize(const Vec3& v) {
  const double len = length(v);
  return len > 0.0 ? v / len : Vec3{0.0, 1.0, 0.0};
}

// Colours are linear RGB triples, 1.0 = full.
using Color = Vec3;

struct Vec2 {
  double u = 0.0, v = 0.0;
};

// Affine transform: p' = m * p + t, with m a 3x3 matrix stored by rows.
struct Affine {
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Vec3 t;

  Vec3 point(const Vec3& p) const { return direction(p) + t; }
  Vec3 direction(const Vec3& d) const {
    return {m[0][0] * d.x + m[0][1] * d.y + m[0][2] * d.z,
            m[1][0] * d.x + m[1][1] * d.y + m[1][2] * d.z,
            m[2][0] * d.x + m[2][1] * d.y + m[2][2] * d.z};
  }
  // The columns are the images of the local axes.
  Vec3 column(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
  Affine operator*(const Affine& o) const;
  // Inverse of an invertible transform; a singular one gives the identity.
  Affine inverse() const;
  // Transforms a normal (inverse transpose of m), normalised.
  Vec3 normal(const Vec3& n) const;
};

constexpr double kPi = 3.14159265358979323846;
constexpr double degreesToRadians(double d) { return d * (kPi / 180.0); }
constexpr double radiansToDegrees(double r) { return r * (180.0 / kPi); }

// Rotation from heading (about +Y), pitch (about +X) and bank (about +Z), in
// radians, applied bank first, then pitch, then heading. Positive heading
// turns +Z toward +X; positive pitch turns +Z toward -Y (looking down).
Affine rotationHPB(const Vec3& hpbRadians);

// scale, then rotate, then translate.
Affine composeTransform(const Vec3& position, const Vec3& hpbRadians, const Vec3& scale);

}  // namespace orvik::host
