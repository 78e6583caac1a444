#include "shading/models/absorption.h"

#include <cmath>

namespace orvik {

namespace {
constexpr double kMinFalloff = 1e-10;
constexpr double kFalloffEpsilon = 1e-12;
constexpr double kContrastFloor = 0.01;
constexpr double kCutoff = 5.0;  // the rational curve reaches 0 at x = 5
constexpr double kCurveScale = 25.0;
constexpr double kReachEpsilon = 1e-12;

double rationalFalloff(double xSquared) { return (kCurveScale - xSquared) / ((xSquared + 1.0) * kCurveScale); }
}  // namespace

Vec3 absorption(double d, Vec3 surfaceColour, const AbsorptionSettings& s) {
    const Vec3 base = surfaceColour * s.surfaceShare + s.colour * (1.0 - s.surfaceShare);
    if (s.falloffDistance < kMinFalloff) return {};

    Vec3 result;
    d = d > 0.0 ? d : 0.0;  // a path has no negative length; keeps pow() real
    const double x = std::pow(2.0 * d / (s.falloffDistance + kFalloffEpsilon), 2.0 * s.contrast + kContrastFloor) * 0.5;
    if (x < kCutoff) result = base * rationalFalloff(x * x);

    // Complementary colour close to the surface.
    const double reach = s.complementary * s.complementary * s.falloffDistance + kReachEpsilon;
    if (d <= kCutoff * reach) {
        const double y = (d / reach) * (d / reach);
        const double g = rationalFalloff(y) * s.complementary;
        result += (Vec3{1.0, 1.0, 1.0} - base) * g;
    }
    return result;
}

Vec3 transmissionTint(double thickness, Vec3 surfaceColour, double colourFilter, double strength,
                      const AbsorptionSettings& settings) {
    Vec3 a{1.0, 1.0, 1.0};
    if (thickness >= 0.0) {
        a = absorption(thickness, surfaceColour, settings) * strength + Vec3{1.0, 1.0, 1.0} * (1.0 - strength);
    }
    const Vec3 filter = surfaceColour * colourFilter + Vec3{1.0, 1.0, 1.0} * (1.0 - colourFilter);
    return filter * a;
}

}  // namespace orvik
