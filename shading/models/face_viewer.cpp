#include "shading/models/face_viewer.h"

#include <cmath>

namespace orvik {

namespace {
constexpr double kFacingCosine = 0.02;
constexpr double kOpposedCosine = -0.999999;
// The target cosine is (d + 1)^kBendExponent * kBendScale + kMinimumCosine, which meets
// the identity at d = 0.02 and gives kMinimumCosine at d = -1.
constexpr double kBendExponent = 51.51515151515151;
constexpr double kBendScale = 0.0071388135433;
constexpr double kMinimumCosine = 0.0002;
}  // namespace

FacedNormal faceViewer(Vec3 v, Vec3 n) {
    const double d = dot(v, n);
    if (d >= kFacingCosine) return {n, d};
    if (d < kOpposedCosine) return {v, 1.0};
    const double c = std::pow(d + 1.0, kBendExponent) * kBendScale + kMinimumCosine;
    // Rotate n in the plane of n and v so that v . n' = c and |n'| stays 1.
    const double a = std::sqrt((1.0 - c * c) / (1.0 - d * d));
    return {n * a + v * (c - a * d), c};
}

}  // namespace orvik
