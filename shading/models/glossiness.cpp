#include "shading/models/glossiness.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kMinRoughness = 1e-8;
constexpr double kMaxRoughness = 9999999.0;
constexpr double kGlossOffset = 0.199999;
constexpr double kLnToLog2Tenth = 0.1442695;  // 1 / (10 ln 2)
constexpr double kSpecularGlossScale = 0.97;
constexpr double kMinSpecularGloss = 1e-5;
constexpr double kMaxSpecularGloss = 0.9999;
}  // namespace

double glossinessFromRoughness(double roughness) {
    const double rho = std::clamp(roughness, kMinRoughness, kMaxRoughness);
    return -std::log2(rho) / 10.0 - kGlossOffset;
}

double roughnessFromGlossiness(double glossiness) {
    return std::exp2(-10.0 * (glossiness + kGlossOffset));
}

double specularGlossiness(double roughness) {
    const double rho = std::clamp(roughness, kMinRoughness, kMaxRoughness);
    const double g = (std::log(rho) * -kLnToLog2Tenth - kGlossOffset) * kSpecularGlossScale;
    return std::clamp(g, kMinSpecularGloss, kMaxSpecularGloss);
}

}  // namespace orvik
