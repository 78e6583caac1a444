#include "shading/models/hsv.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kMinValue = 1e-10;
constexpr double kMinSaturation = 1e-9;
constexpr double kGreySaturation = 1e-12;
}  // namespace

Hsv rgbToHsv(Vec3 c) {
    const double mx = std::max({c.x, c.y, c.z});
    const double mn = std::min({c.x, c.y, c.z});
    Hsv out{0.0, 0.0, mx};
    if (mx < kMinValue) return out;
    const double delta = mx - mn;
    const double s = delta / mx;
    if (s < kMinSaturation) return out;
    out.s = s;
    if (c.x == mx) {
        out.h = 60.0 * ((c.y - c.z) / delta);
        if (out.h < 0.0) out.h += 360.0;
    } else if (c.y == mx) {
        out.h = 60.0 * ((c.z - c.x) / delta + 2.0);
    } else {
        out.h = 60.0 * ((c.x - c.y) / delta + 4.0);
    }
    return out;
}

Vec3 hsvToRgb(Hsv c) {
    const double v = c.v;
    if (c.s <= kGreySaturation) return {v, v, v};
    double h = std::isfinite(c.h) ? c.h - 360.0 * std::floor(c.h / 360.0) : 0.0;
    h /= 60.0;
    int sector = static_cast<int>(h);
    const double f = h - sector;
    sector %= 6;  // a hue that rounds up to exactly 360 is red again
    const double p = v * (1.0 - c.s);
    const double q = v * (1.0 - c.s * f);
    const double t = v * (1.0 - c.s * (1.0 - f));
    switch (sector) {
        case 0: return {v, t, p};
        case 1: return {q, v, p};
        case 2: return {p, v, t};
        case 3: return {p, q, v};
        case 4: return {t, p, v};
        default: return {v, p, q};
    }
}

}  // namespace orvik
