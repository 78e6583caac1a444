// Light arriving at a point from one light, before shadows: direction,
// distance and colour after falloff, spot cone and emitter orientation.
#pragma once

#include "host/raytrace_scene.h"

namespace orvik::host {

struct LightSample {
  Vec3 direction;   // unit vector from the point towards the light
  double distance;  // to the light point; infinite for distant lights
  Color color;      // arriving colour, falloff and cone applied
};

// Distance attenuation of a light: 1 without falloff; Linear fades to 0 at
// the range, inverse distance is range / d, inverse distance squared is
// (range / d)^2 (so every law gives the full colour at the range). A
// limited range cuts the light off at the range.
double falloffFactor(const Light& light, double distance);

// Cosines of a spot light's outer cone and of its inner cone (the cone less
// the soft edge).
void spotCosines(const Light& light, double& cosOuter, double& cosInner);
// Spot cone factor for the cosine c between the spot axis and the direction
// to the point: 0 outside the cone, 1 inside the inner cone, a smooth step
// across the soft edge.
double spotFactor(double cosOuter, double cosInner, double c);
inline double spotFactor(const Light& light, double c) {
  double cosOuter, cosInner;
  spotCosines(light, cosOuter, cosInner);
  return spotFactor(cosOuter, cosInner, c);
}

// The light seen from `point` through the point (s, t) in [0, 1]^2 of the
// light's emitter (ignored by distant, point and spot lights; linear lights
// use s only). Returns false when no light arrives.
bool sampleLight(const PlacedLight& light, const Vec3& point, double s, double t, LightSample& out);

// Samples per evaluation: 1 for distant, point and spot lights; quality for
// linear lights; quality^2 for area lights (quality at least 1).
int lightSampleCount(const PlacedLight& light);

}  // namespace orvik::host
