#include "shading/models/translucent_scattering.h"

#include <cmath>

#include "shading/models/face_viewer.h"
#include "shading/models/henyey_greenstein.h"

namespace orvik {

namespace {
constexpr double kMaxAnisotropy = 0.98;
constexpr double kDepthScale = 0.2;
constexpr double kDepthCutoff = 20.0;
constexpr double kPeakDamping = 0.98;
constexpr double kStrengthScale = 3.0;
constexpr double kShallowDepth = 0.005;
}  // namespace

double scatteringAnisotropy(double thickness, const ScatteringSettings& s) {
    const double a0 = (1.0 - s.baseScattering * s.baseScattering) * kMaxAnisotropy;
    const double scale = s.falloffDistance * kDepthScale;
    const double n = s.nonlinear * s.nonlinear * thickness;
    if (!(n < kDepthCutoff * scale)) return 0.0;
    const double x = n / scale;
    return a0 / ((a0 * 0.8 + 0.2) * std::sqrt(x) * x + 1.0);
}

double translucentLightWeight(double c, double thickness, double g, double strength, double falloffDistance) {
    double v = (1.0 - g * g * g * kPeakDamping) * henyeyGreenstein(c, g) * strength * kStrengthScale;
    if (c < 0.0) {
        double w = 1.0;
        if (thickness > falloffDistance * kShallowDepth) {
            const double depth = thickness / falloffDistance;
            w = 1.0 / (depth * depth + 1.0);
        }
        v *= (1.0 - w) + (c + 1.0) * w;
    }
    return v;
}

Vec3 translucencyDirection(Vec3 nb, Vec3 v, double surfaceRefraction) {
    return faceViewer(v, normalize(nb * surfaceRefraction + v * (1.0 - surfaceRefraction))).normal;
}

Vec3 translucentContribution(double c, double thickness, double strength, Vec3 surfaceColour,
                             const AbsorptionSettings& absorptionSettings, const ScatteringSettings& scattering) {
    const double t = thickness > 0.0 ? thickness : 0.0;
    const double g = scatteringAnisotropy(t, scattering);
    return absorption(t, surfaceColour, absorptionSettings) *
           translucentLightWeight(c, t, g, strength, scattering.falloffDistance);
}

}  // namespace orvik
