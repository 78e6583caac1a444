#include "shading/models/photo_map.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
// A faint warm offset keeps the ratio of a black or grey map well defined.
constexpr Vec3 kBiasOffset{0.00167, 0.00124, 0.00105};
constexpr double kRatioEpsilon = 1e-11;
constexpr double kMinBrightness = 1e-5;
constexpr double kMinMax = 1e-8;
constexpr double kGreyRatio = 0.99999;
constexpr double kGreySlope = 99.9;
}  // namespace

Vec3 photoMap(Vec3 colour, const PhotoMapSettings& s) {
    const Vec3 c = colour * (1.0 - s.biasTint) + s.biasColour * s.biasTint + kBiasOffset;

    const double b0 = std::max(s.brightness - s.brightnessRange * 0.5, 0.0);
    const double b1 = b0 + s.brightnessRange;
    const double w0 = std::max(s.white - s.whiteRange * 0.5, 0.0);
    const double w1 = std::min(w0 + s.whiteRange, 1.0);

    const double mx = std::max({c.x, c.y, c.z});
    const double mn = std::min({c.x, c.y, c.z});
    const double q = mn / (mx + kRatioEpsilon);

    const double target = b1 - (b1 - b0) * std::exp(-mx / std::max(b1, kMinBrightness));
    double k = kGreySlope;
    if (!(mx < kMinMax || q > kGreyRatio)) k = (((w1 - w0) * q + w0 - 1.0) * target) / ((q - 1.0) * mx);
    const double d = target - k * mx;

    const Vec3 mapped{k * c.x + d, k * c.y + d, k * c.z + d};
    return mapped * s.strength + colour * (1.0 - s.strength);
}

}  // namespace orvik
