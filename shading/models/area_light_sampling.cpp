#include "shading/models/area_light_sampling.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kMinCandidate = 0.001;
constexpr double kMaxCandidate = 0.999;
constexpr double kMergeDistance = 0.001;
constexpr double kParallelLimit = 1e-5;
constexpr double kThresholdWithoutMaster = 1.5608740894901143;
constexpr double kThresholdScale = 0.15;
constexpr int kMinShadowRays = 2;
constexpr int kMaxShadowRays = 512;
constexpr double kCastShare = 0.3;
constexpr double kMinCastShare = 0.001;

}  // namespace

double edgeParameter(Vec3 p, Vec3 origin, Vec3 edge, double edgeLengthSquared) {
    if (!(edgeLengthSquared > 0.0)) return 0.5;
    const double t = dot(p - origin, edge) / edgeLengthSquared;
    return std::clamp(t, 0.0, 1.0);
}

Vec3 mirrorPlanePoint(Vec3 p, Vec3 r, Vec3 origin, Vec3 planeNormal) {
    const double denom = dot(r, planeNormal);
    const double t = std::fabs(denom) < kParallelLimit ? 0.0 : dot(origin - p, planeNormal) / denom;
    return p + r * t;
}

std::array<double, 4> seedGridCoordinates(double c1, double c2) {
    auto usable = [](double c) { return c >= kMinCandidate && c <= kMaxCandidate; };
    double kept[2];
    int count = 0;
    if (usable(c1)) kept[count++] = c1;
    if (usable(c2)) kept[count++] = c2;
    if (count == 2 && std::fabs(kept[0] - kept[1]) < kMergeDistance) {
        kept[0] = 0.5 * (kept[0] + kept[1]);
        count = 1;
    }
    if (count == 2) {
        const double lo = std::min(kept[0], kept[1]);
        const double hi = std::max(kept[0], kept[1]);
        return {0.0, lo, hi, 1.0};
    }
    if (count == 1) {
        const double c = kept[0];
        if (static_cast<int>(6.0 * c - 0.5) >= 1) return {0.0, c / 2.0, c, 1.0};
        return {0.0, c, c + (1.0 - c) / 2.0, 1.0};
    }
    return {0.0, 1.0 / 3.0, 2.0 / 3.0, 1.0};
}

double areaRefineThreshold(bool masterPresent, double areaShadingQuality) {
    if (!masterPresent) return kThresholdWithoutMaster;
    const double q = areaShadingQuality * 0.525 + 0.1;
    return kThresholdScale / (q * q);
}

int areaShadowRayCount(int quality, double areaFactor, bool masterPresent, double areaShadowQuality) {
    double q = 1.0;
    if (masterPresent) q = (areaShadowQuality + 0.6) * (areaShadowQuality + 0.6);
    const double n = std::trunc(double(quality) * quality * 4.0 * areaFactor * q * 3.0 + 1.5);
    if (!(n >= kMinShadowRays)) return kMinShadowRays;
    return n >= kMaxShadowRays ? kMaxShadowRays : static_cast<int>(n);
}

int areaShadowRaysToCast(int wanted, double lightFactor, double litSum) {
    const double m = std::min(1.0, kCastShare * lightFactor * litSum);
    if (!(m > kMinCastShare)) return 0;
    return std::max(1, static_cast<int>(wanted * m));
}

int areaShadowFirstBatch(int toCast) { return std::max(kMinShadowRays, toCast / 3); }

}  // namespace orvik
