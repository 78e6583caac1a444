#pragma once

#include <cmath>

namespace orvik {

// Three doubles in world space; also used for linear RGB triples.
struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
};

constexpr Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
constexpr Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
constexpr Vec3 operator*(double s, Vec3 a) { return {a.x * s, a.y * s, a.z * s}; }
constexpr Vec3 operator/(Vec3 a, double s) { return {a.x / s, a.y / s, a.z / s}; }
// Component-wise product, as colours are combined.
constexpr Vec3 operator*(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
constexpr Vec3& operator+=(Vec3& a, Vec3 b) { return a = a + b; }
constexpr Vec3& operator-=(Vec3& a, Vec3 b) { return a = a - b; }
constexpr Vec3& operator*=(Vec3& a, double s) { return a = a * s; }
constexpr Vec3& operator*=(Vec3& a, Vec3 b) { return a = a * b; }
constexpr bool operator==(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

constexpr double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
constexpr double lengthSquared(Vec3 a) { return dot(a, a); }
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
constexpr double sum(Vec3 a) { return a.x + a.y + a.z; }

// The up vector every zero-length direction falls back to.
inline constexpr Vec3 kFallbackDirection{0.0, 1.0, 0.0};

// Unit vector along a; a zero vector yields (0, 1, 0) so that no NaN enters the shading.
inline Vec3 normalize(Vec3 a) {
    const double len = length(a);
    if (len == 0.0) return kFallbackDirection;
    return a / len;
}

inline Vec3 lerp(Vec3 a, Vec3 b, double t) { return a * (1.0 - t) + b * t; }

}  // namespace orvik
