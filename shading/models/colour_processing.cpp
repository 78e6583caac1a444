#include "shading/models/colour_processing.h"

#include <algorithm>
#include <cmath>

#include "shading/models/hsv.h"

namespace orvik {

namespace {
constexpr double kMinChannel = 1e-10;
constexpr double kMinFalloff = 1e-9;
}  // namespace

Vec3 processColour(Vec3 rgb, const ColourProcessing& p, const DistanceDesaturation& d) {
    rgb = {std::max(rgb.x, kMinChannel), std::max(rgb.y, kMinChannel), std::max(rgb.z, kMinChannel)};
    Hsv hsv = rgbToHsv(rgb);
    hsv.h += p.hueShift;
    hsv.s *= p.saturation;
    if (d.strength > 0.0) {
        const double x = (d.distance - d.clip) / std::max(d.falloff, kMinFalloff);
        if (x > 0.0) hsv.s *= (1.0 - d.strength) + std::exp(-x) * d.strength;
    }
    hsv.s = std::clamp(hsv.s, 0.0, 1.0);
    hsv.v *= p.value;
    return hsvToRgb(hsv);
}

}  // namespace orvik
