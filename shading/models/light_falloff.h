#pragma once

#include <algorithm>
#include <cmath>

namespace orvik {

// How a light's colour weakens with distance and with the angle of its emitter.
// The host's falloff kinds; anything else means no falloff.
enum LightFalloff { kFalloffInverseDistance = 2, kFalloffInverseDistanceSquared = 3 };

// Limited range: 1 - distance / range inside the range, 0 at and beyond it.
inline double rangeFactor(double distance, double range) {
    if (!(distance < range)) return 0.0;
    return 1.0 - distance / range;
}

// range / (distance + min) for inverse distance, range^2 / (distance^2 + min^2) for its
// square, 1 otherwise. minimumDistance keeps the law finite at the light.
inline double falloffFactor(int falloff, double distance, double range, double minimumDistance) {
    switch (falloff) {
        case kFalloffInverseDistance:
            return range / (distance + minimumDistance);
        case kFalloffInverseDistanceSquared:
            return range * range / (distance * distance + minimumDistance * minimumDistance);
        default:
            return 1.0;
    }
}

// Emitter shape with c = forward . L: an area light emits |c|, a linear light sqrt(1 - c^2).
inline double areaEmitterFactor(double forwardDotL) { return std::fabs(forwardDotL); }
inline double linearEmitterFactor(double forwardDotL) {
    // Rounding may push |c| a hair above 1; the root stays real.
    return std::sqrt(std::max(0.0, 1.0 - forwardDotL * forwardDotL));
}

}  // namespace orvik
