#include "shading/models/oren_nayar.h"

#include <algorithm>
#include <cmath>

#include "shading/models/arc_cosine.h"
#include "shading/models/bias.h"

namespace orvik {

using namespace oren_nayar;

namespace {
constexpr double kSigmaScale = 1.4;
constexpr double kFourOverPiSquaredSquared = 0.1642557160749494;  // (4 / pi^2)^2
constexpr double kDiffuseSharpnessScale = 0.05128205128205128;  // 2 / 39
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

DiffuseView prepareDiffuseView(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, Vec3 nd, double cv,
                               Vec3 v) {
    DiffuseView view;
    view.normal = nd;
    view.view = v;
    view.cosine = cv;
    if (on.a < kSmoothLimit) {
        view.angle = arcCosine(std::clamp(cv, -1.0, 1.0));
        view.sine = std::sqrt(std::max(0.0, 1.0 - cv * cv));
        view.angleOverSine = thetaOverSin(view.angle);
        view.viewCrossNormal = cross(v, nd);
    }
    view.terminator = BiasCurve(
        ((shaping.diffuseSharpness - 1.0) * kDiffuseSharpnessScale + shaping.terminatorSharpness + 1.0) * 0.5);
    return view;
}

bool orenNayarDiffuseView(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, const DiffuseView& view,
                          Vec3 l, Vec3 colour, double diffuseWeight, Vec3& rgb) {
    const Vec3 nd = view.normal;
    const double cv = view.cosine;
    const double cl = dot(nd, l);
    const double r = shaping.rim == 0.0 ? 0.0 : rimWrap(view.view, l, shaping.rim);
    if (!(cl > r)) return false;

    // Terminator shaping of the wrapped cosine, then the skin-style falloff (both
    // divisions are by 1 without rim and skin).
    const double x = r == 0.0 ? cl : (cl - r) / (1.0 - r);
    const double s = view.terminator(x);
    const double k = shaping.skinScattering;
    const double falloff = k == 0.0 ? s : s / ((1.0 - k) + (s + cv) * k * kSkinSpread);

    if (on.a >= kSmoothLimit) {
        rgb += colour * (falloff * diffuseWeight);
        return true;
    }

    // alpha belongs to the smaller cosine, beta to the larger; the view's own angle is
    // prepared, only the light's is computed here.
    const bool viewIsLow = cv <= s;
    const double lightAngle = arcCosine(std::clamp(s, -1.0, 1.0));
    const double lightSine = std::sqrt(std::max(0.0, 1.0 - s * s));
    const double lo = viewIsLow ? cv : s;
    const double hi = viewIsLow ? s : cv;
    const double alpha = viewIsLow ? view.angle : lightAngle;
    const double beta = viewIsLow ? lightAngle : view.angle;
    const double sinAlpha = (viewIsLow ? view.sine : lightSine) + kSinEpsilon;
    const double sinBeta = viewIsLow ? lightSine : view.sine;
    const double alphaOverSine = viewIsLow ? view.angleOverSine : thetaOverSin(lightAngle);
    const double betaOverSine = viewIsLow ? thetaOverSin(lightAngle) : view.angleOverSine;
    // cos(phi) sin(theta_i) sin(theta_r)
    const double p = dot(cross(l, nd), view.viewCrossNormal);

    double t2 = p * on.b / hi;
    if (p < 0.0) t2 *= 1.0 - beta * beta * beta * kEightOverPiCubed / sinAlpha;
    const double t3 = (sinBeta + sinAlpha) * on.c * beta * alpha / (lo + hi) *
                      (alpha * beta - std::fabs(p) * betaOverSine * alphaOverSine);
    const double l1 = on.a + t2 + t3;
    // The interreflection term is of second order in the albedo colour * diffuseWeight.
    const double l2 = (1.0 - (p / sinAlpha) * betaOverSine * beta * kFourOverPiSquared) * on.d * diffuseWeight;
    const double scale = falloff * diffuseWeight;
    rgb += (colour * l2 + Vec3{l1, l1, l1}) * colour * scale;
    return true;
}

bool orenNayarDiffuse(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, Vec3 nd, double cv, Vec3 v,
                      Vec3 l, Vec3 colour, double diffuseWeight, Vec3& rgb) {
    return orenNayarDiffuseView(on, shaping, prepareDiffuseView(on, shaping, nd, cv, v), l, colour, diffuseWeight,
                                rgb);
}

}  // namespace orvik
