#pragma once

namespace orvik {

// How a light's colour weakens with distance and with the angle of its emitter.
// The host's falloff kinds; anything else means no falloff.
enum LightFalloff { kFalloffInverseDistance = 2, kFalloffInverseDistanceSquared = 3 };

// Limited range: 1 - distance / range inside the range, 0 at and beyond it.
double rangeFactor(double distance, double range);

// range / (distance + min) for inverse distance, range^2 / (distance^2 + min^2) for its
// square, 1 otherwise. minimumDistance keeps the law finite at the light.
double falloffFactor(int falloff, double distance, double range, double minimumDistance);

// Emitter shape with c = forward . L: an area light emits |c|, a linear light sqrt(1 - c^2).
double areaEmitterFactor(double forwardDotL);
double linearEmitterFactor(double forwardDotL);

}  // namespace orvik
