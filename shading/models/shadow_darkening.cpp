#include "shading/models/shadow_darkening.h"

#include <algorithm>

namespace orvik {

namespace {
constexpr double kMinTotalLight = 0.0001;
}  // namespace

bool shadowDarkening(Vec3& out, double lit, double total, Vec3 darkColour) {
    if (!(total >= kMinTotalLight)) return false;
    const double r = std::clamp(lit / total, 0.0, 1.0);
    out = out * r + darkColour * (1.0 - r);
    return true;
}

}  // namespace orvik
