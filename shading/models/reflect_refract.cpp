#include "shading/models/reflect_refract.h"

#include <cmath>

namespace orvik {

namespace {
constexpr double kMinRatio = 0.001;
constexpr double kRatioFloorInverse = 10.0;
constexpr double kMatchLow = 0.994;
constexpr double kMatchHigh = 1.006;
}  // namespace

Vec3 reflect(Vec3 v, Vec3 n) { return n * (2.0 * dot(v, n)) - v; }

Refraction refract(Vec3 v, Vec3 n, double ratio) {
    const double k = ratio <= kMinRatio ? kRatioFloorInverse : 1.0 / ratio;
    if (k > kMatchLow && k < kMatchHigh) return {-v, false};
    const double c = dot(v, n);
    const double t = 1.0 - (1.0 - c * c) * k * k;
    if (t < 0.0) return {reflect(v, n), true};
    return {n * (k * c - std::sqrt(t)) - v * k, false};
}

}  // namespace orvik
