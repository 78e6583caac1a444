#include "shading/models/spherical_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvik {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kBlurScale = 0.006;
constexpr double kCentreWeight = 2.0 / 6.0;
constexpr double kSideWeight = 1.0 / 6.0;

int wrapColumn(double x, int width) {
    double c = std::trunc(x);
    if (!std::isfinite(c)) return 0;
    c = std::fmod(c, double(width));
    if (c < 0.0) c += width;
    return std::clamp(static_cast<int>(c), 0, width - 1);
}

int clampRow(double y, int height) {
    const double r = std::trunc(y);
    if (!(r > 0.0)) return 0;
    return r >= height - 1 ? height - 1 : static_cast<int>(r);
}
}  // namespace

MapPosition sphericalMapPosition(Vec3 d, double seamAngle, int width, int height) {
    const double lat = std::asin(std::clamp(d.y, -1.0, 1.0));
    double lon = std::atan2(d.x, d.z) - seamAngle;
    lon -= std::floor(lon / kTwoPi) * kTwoPi;
    return {width * lon / kTwoPi, (std::numbers::pi / 2.0 - lat) * height / std::numbers::pi};
}

double sphericalBlurRadius(int width, int height, double blurring) {
    return double(width + height) * blurring * kBlurScale + 1.0;
}

std::array<MapTap, 5> sphericalMapTaps(MapPosition p, double r, const std::array<double, 10>& jitter, int width,
                                       int height) {
    const double offsets[5][2] = {{0.0, 0.0}, {-2.0 * r, r}, {-r, -2.0 * r}, {r, 2.0 * r}, {2.0 * r, -r}};
    std::array<MapTap, 5> taps;
    if (width < 1 || height < 1) return taps;  // an empty image: all weights 0
    for (int i = 0; i < 5; ++i) {
        const double x = p.x + offsets[i][0] + (jitter[2 * i] - 0.5);
        const double y = p.y + offsets[i][1] + (jitter[2 * i + 1] - 0.5);
        taps[i] = {wrapColumn(x, width), clampRow(y, height), i == 0 ? kCentreWeight : kSideWeight};
    }
    return taps;
}

}  // namespace orvik
