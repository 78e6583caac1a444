#include "shading/models/edge_weight.h"

#include <algorithm>

#include "shading/models/bias.h"

namespace orvik {

namespace {
constexpr double kMinCosine = 1e-9;
constexpr double kSharpnessDeadZone = 0.0001;
constexpr double kSharpnessScale = 0.998;
constexpr double kSharpnessOffset = 0.001;
}  // namespace

double edgeFactor(Vec3 normal0, Vec3 normal, double bumpShare, Vec3 v) {
    const Vec3 n = normalize(normal0 * (1.0 - bumpShare) + normal * bumpShare);
    const double c = std::max(dot(n, v), kMinCosine);
    return 1.0 - c * c;
}

double edgeWeight(double e, double s) {
    if (s > kSharpnessDeadZone) return bias(e, kSharpnessScale * s + kSharpnessOffset);
    if (s < -kSharpnessDeadZone) return 1.0 - bias(e, kSharpnessScale * s + 1.0 + kSharpnessOffset);
    return 0.0;
}

double applyEdgeMode(EdgeMode mode, double a, double w, double value) {
    switch (mode) {
        case EdgeMode::Multiply:
            return a * ((1.0 - w) + w * value);
        case EdgeMode::Add:
            return a + w * value;
        case EdgeMode::Replace:
            return w * value + (1.0 - w) * a;
        case EdgeMode::None:
            break;
    }
    return a;
}

double edgeBumpScale(double e, double edgeBumpSharpness, double edgeBumpBoost, double bump) {
    const double w = bias(e, edgeBumpSharpness * kSharpnessScale + kSharpnessOffset);
    return ((1.0 - w) + w * edgeBumpBoost) * bump;
}

}  // namespace orvik
