#include "shading/models/oren_nayar.h"

#include <algorithm>
#include <cmath>

#include "shading/models/bias.h"

namespace orvik {

namespace {
constexpr double kSigmaScale = 1.4;
constexpr double kFourOverPiSquaredSquared = 0.1642557160749494;  // (4 / pi^2)^2
constexpr double kFourOverPiSquared = 0.4052847345693511;         // 4 / pi^2
constexpr double kEightOverPiCubed = 0.25801227546559596;         // 8 / pi^3
constexpr double kRimScale = 1.5;
constexpr double kDiffuseSharpnessScale = 0.05128205128205128;  // 2 / 39
constexpr double kSkinSpread = 0.8;
constexpr double kSmoothLimit = 0.9999;  // a = 1: no roughness, plain shaped Lambert
constexpr double kSinEpsilon = 1e-8;

// theta / sin(theta) over 0 .. pi/2 as a rational function.
double thetaOverSin(double theta) {
    return ((0.155079166 * theta - 0.333984969) * theta + 1.278379134) /
           (1.279492778 - 0.3537883265 * theta);
}
}  // namespace

OrenNayarCoefficients prepareOrenNayar(double roughness) {
    const double s = kSigmaScale * roughness * roughness;
    OrenNayarCoefficients on;
    on.a = 1.0 - 0.5 * s / (s + 0.33);
    on.b = 0.45 * s / (s + 0.09);
    on.c = 0.125 * s / (s + 0.09) * kFourOverPiSquaredSquared;
    on.d = 0.17 * s / (s + 0.13);
    return on;
}

double rimWrap(Vec3 v, Vec3 l, double rim) {
    const double r = dot(v, l) * rim * kRimScale;
    return r >= 0.0 ? 0.0 : r;
}

bool orenNayarDiffuse(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, Vec3 nd,
                      double cv, Vec3 v, Vec3 l, Vec3 colour, double diffuseWeight, Vec3& rgb) {
    const double cl = dot(nd, l);
    const double r = rimWrap(v, l, shaping.rim);
    if (!(cl > r)) return false;

    // Terminator shaping of the wrapped cosine, then the skin-style falloff.
    const double x = (cl - r) / (1.0 - r);
    const double sharp =
        ((shaping.diffuseSharpness - 1.0) * kDiffuseSharpnessScale + shaping.terminatorSharpness + 1.0) * 0.5;
    const double s = bias(x, sharp);
    const double k = shaping.skinScattering;
    const double falloff = s / ((1.0 - k) + (s + cv) * k * kSkinSpread);

    if (on.a >= kSmoothLimit) {
        rgb += colour * (falloff * diffuseWeight);
        return true;
    }

    const double lo = std::min(s, cv);
    const double hi = std::max(s, cv);
    const double alpha = std::acos(std::clamp(lo, -1.0, 1.0));
    const double beta = std::acos(std::clamp(hi, -1.0, 1.0));
    const double sinAlpha = std::sqrt(std::max(0.0, 1.0 - lo * lo)) + kSinEpsilon;
    const double sinBeta = std::sqrt(std::max(0.0, 1.0 - hi * hi));
    // cos(phi) sin(theta_i) sin(theta_r)
    const double p = dot(cross(l, nd), cross(v, nd));

    double t2 = p * on.b / hi;
    if (p < 0.0) t2 *= 1.0 - beta * beta * beta * kEightOverPiCubed / sinAlpha;
    const double t3 = (sinBeta + sinAlpha) * on.c * beta * alpha / (lo + hi) *
                      (alpha * beta - std::fabs(p) * thetaOverSin(beta) * thetaOverSin(alpha));
    const double l1 = on.a + t2 + t3;
    // The interreflection term is of second order in the albedo colour * diffuseWeight.
    const double l2 = (1.0 - (p / sinAlpha) * thetaOverSin(beta) * beta * kFourOverPiSquared) * on.d * diffuseWeight;
    const double scale = falloff * diffuseWeight;
    rgb += (colour * l2 + Vec3{l1, l1, l1}) * colour * scale;
    return true;
}

}  // namespace orvik
