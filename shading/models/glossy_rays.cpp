#include "shading/models/glossy_rays.h"

#include <cmath>

#include "shading/models/pixel_random.h"
#include "shading/models/reflect_refract.h"
#include "shading/models/tangent_frame.h"

namespace orvik {

namespace {
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kViewAnisotropyScale = 4.0;
constexpr double kSurfaceAnisotropyScale = 2.5;
constexpr double kMinStretch = 0.001;
constexpr double kMinAxisSquared = 0.01;
constexpr double kSpreadScale = 0.04;
constexpr double kTwoToMinus32 = 2.3283064365386963e-10;
constexpr double kGoldenStep = 1.2360679774997898;  // 2 / golden ratio
constexpr double kSharpSpread = 0.001;
constexpr double kSpreadBase = 0.2;
constexpr double kRaysPerUnit = 125.0;
constexpr double kTracedScale = 4.0;
constexpr double kRecomposedScale = 0.2;

// Eases the stratified coordinates so rays gather toward the mirror direction.
double shape(double x) { return (x * x * 0.5 + 0.5) * x; }

double depthFalloff(int bounces) { return double(bounces) * bounces + 1.0; }
}  // namespace

void glossyRays(const GlossySpread& settings, Vec3 v, Vec3 n0, Vec3 nr, double angle, std::uint32_t seed,
                double offset, std::span<Vec3> out) {
    if (out.empty()) return;
    const Vec3 r = reflect(v, nr);

    // Stretch vector: view anisotropy, plus or minus the surface direction.
    Vec3 a = cross(v, nr) * (kViewAnisotropyScale * settings.viewAnisotropy);
    if (settings.surfaceAnisotropy > 0.0) {
        const Vec3 t = tangentAt(n0, settings.surfaceAngleDegrees * kDegreesToRadians + angle);
        const Vec3 tp = (t - nr * dot(t, nr)) * (settings.surfaceAnisotropy * kSurfaceAnisotropyScale);
        a = dot(t, a) >= 0.0 ? a + tp : a - tp;
    }

    // Axes across the mirror direction, the first along the stretch.
    double m = length(a);
    Vec3 b1;
    Vec3 b2;
    if (m > kMinStretch && lengthSquared(cross(r, a)) > kMinStretch) {
        b1 = normalize(cross(r, a));
        b2 = cross(r, b1);
    } else {
        m = 0.0;
        b2 = cross(r, nr);
        if (lengthSquared(b2) >= kMinAxisSquared) {
            b2 = normalize(b2);
            b1 = cross(r, b2);
        } else {
            const TangentFrame f = orthonormalBasis(r);
            b1 = f.b1;
            b2 = f.b2;
        }
    }
    b1 *= (m + 1.0) * settings.spread * kSpreadScale;
    b2 *= settings.spread * kSpreadScale / (m + 1.0);

    // Stratification.
    double o = seed * kTwoToMinus32 + offset;
    if (o >= 1.0) o -= 1.0;
    PixelRandom random{seed};
    double b = 2.0 * random.next() - 1.0;
    const double n = double(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double u = (2.0 * double(i) + 2.0 * o) / n - 1.0;
        b += kGoldenStep;
        if (b > 1.0) b -= 2.0;
        Vec3 d = normalize(r + b1 * shape(u) + b2 * shape(b));
        const double below = dot(d, n0);
        if (below < 0.0) d -= n0 * (2.0 * below);
        out[i] = d;
    }
}

int reflectionRayCount(double q) {
    const double n = std::trunc(q * kRaysPerUnit + 1.0);
    if (!(n > 1.0)) return 1;
    return n >= kMaxReflectionRays ? kMaxReflectionRays : static_cast<int>(n);
}

int tracedReflectionRayCount(double spread, double quality, double rayWeight, double mirror, int bounces,
                             double reflectionFactor) {
    if (spread <= kSharpSpread) return 1;
    const double q = (spread + kSpreadBase) * quality * rayWeight * mirror * kTracedScale / depthFalloff(bounces);
    return reflectionRayCount(q * reflectionFactor);
}

int environmentRayCount(double spread, double quality, int bounces, double reflectionFactor) {
    return reflectionRayCount((spread + kSpreadBase) * quality / depthFalloff(bounces) * reflectionFactor);
}

int recomposedEnvironmentRayCount(double spread, double quality) {
    return reflectionRayCount((spread + kSpreadBase) * quality * kRecomposedScale);
}

}  // namespace orvik
