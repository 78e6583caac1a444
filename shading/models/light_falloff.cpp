#include "shading/models/light_falloff.h"

#include <algorithm>
#include <cmath>

namespace orvik {

double rangeFactor(double distance, double range) {
    if (!(distance < range)) return 0.0;
    return 1.0 - distance / range;
}

double falloffFactor(int falloff, double distance, double range, double minimumDistance) {
    switch (falloff) {
        case kFalloffInverseDistance:
            return range / (distance + minimumDistance);
        case kFalloffInverseDistanceSquared:
            return range * range / (distance * distance + minimumDistance * minimumDistance);
        default:
            return 1.0;
    }
}

double areaEmitterFactor(double forwardDotL) { return std::fabs(forwardDotL); }

double linearEmitterFactor(double forwardDotL) {
    // Rounding may push |c| a hair above 1; the root stays real.
    return std::sqrt(std::max(0.0, 1.0 - forwardDotL * forwardDotL));
}

}  // namespace orvik
