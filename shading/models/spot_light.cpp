#include "shading/models/spot_light.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr int kMaxProjectionWidth = 9000;
constexpr double kMinProjectionCosine = 0.008726535;  // cos(89.5 degrees)
}  // namespace

double spotConeFactor(double c, double cosInner, double cosOuter) {
    if (c <= cosOuter) return 0.0;
    if (c >= cosInner) return 1.0;
    const double t = (c - cosOuter) / (cosInner - cosOuter);
    return (3.0 - 2.0 * t) * t * t;
}

bool projectionImageUsable(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxProjectionWidth;
}

std::optional<PixelIndex> spotProjectionPixel(Vec3 l, Vec3 forward, Vec3 right, Vec3 up, double cosOuter,
                                              int width, int height) {
    const double c = -dot(forward, l);
    if (!(c > 0.0) || !projectionImageUsable(width, height)) return std::nullopt;
    const double q = std::max(cosOuter, kMinProjectionCosine);
    const double k = q / (std::sqrt(1.0 - q * q) * c);
    const double x = -dot(right, l) * k;
    const double y = dot(up, l) * k;
    if (!(x >= -1.0 && x <= 1.0 && y >= -1.0 && y <= 1.0)) return std::nullopt;
    const int column = std::min(static_cast<int>((x + 1.0) * width / 2.0), width - 1);
    const int row = std::min(static_cast<int>((y + 1.0) * height / 2.0), height - 1);
    return PixelIndex{column, row};
}

}  // namespace orvik
