#include "shading/models/skin_colour.h"

#include <algorithm>
#include <cmath>

#include "shading/models/bias.h"

namespace orvik {

namespace {
constexpr double kMinVisibility = 0.001;
constexpr double kMinCosine = 1e-9;
constexpr double kScatteringRate = 10.0;
constexpr double kMaxBloodShare = 0.99;
constexpr double kLayerScale = 0.92;
constexpr double kLayerFloor = 0.0005;
}  // namespace

Vec3 skinColour(Vec3 colour, Vec3 normal0, Vec3 normal, Vec3 v, const SkinSettings& s) {
    if (!(std::fabs(s.visibility) > kMinVisibility)) return colour;
    const Vec3 n = normalize(normal * s.followBump + normal0 * (1.0 - s.followBump));
    const double c = std::max(dot(n, v), kMinCosine);
    const double e = std::min((1.0 - std::exp(-kScatteringRate * s.scattering)) * s.visibility * 0.5, kMaxBloodShare);
    const double layer2 = s.layer * s.layer;
    const double edge = bias(1.0 - c * c, layer2 * layer2 * kLayerScale + kLayerFloor);
    const double r = 1.0 / (1.0 - e);
    return colour * ((r - 1.0) * edge + 1.0) - s.bloodColour * (edge * r * e);
}

}  // namespace orvik
