#include "host/shade_lights.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvik::host {

namespace {
// Below this the light is taken to sit on the point.
constexpr double kMinimumLightDistance = 1e-9;
}  // namespace

double falloffFactor(const Light& light, double distance) {
  const double range = std::max(light.range, 1e-6);
  double f = 1.0;
  if (light.limitedRange || light.falloff == Falloff::Linear) {
    if (distance >= range) return 0.0;
    f = 1.0 - distance / range;
  }
  const double d = std::max(distance, kMinimumLightDistance);
  if (light.falloff == Falloff::InverseDistance) f *= range / d;
  if (light.falloff == Falloff::InverseDistanceSquared) f *= (range * range) / (d * d);
  return f;
}

void spotCosines(const Light& light, double& cosOuter, double& cosInner) {
  const double cone = degreesToRadians(light.coneAngle);
  const double edge = std::clamp(degreesToRadians(light.edgeAngle), 1e-5, std::max(cone, 1e-5));
  cosOuter = std::cos(cone);
  cosInner = std::cos(std::max(cone - edge, 0.0));
}

double spotFactor(double cosOuter, double cosInner, double c) {
  if (c <= cosOuter) return 0.0;
  if (c >= cosInner) return 1.0;
  const double t = (c - cosOuter) / (cosInner - cosOuter);
  return (3.0 - 2.0 * t) * t * t;
}

bool sampleLight(const PlacedLight& light, const Vec3& point, double s, double t, LightSample& out) {
  if (light.type == LightType::Distant) {
    out.direction = -light.forward;
    out.distance = std::numeric_limits<double>::infinity();
    out.color = light.color;
    return dot(out.color, out.color) > 0.0;
  }
  Vec3 emitter = light.position;
  if (light.type == LightType::Linear) emitter = light.origin + light.u * s;
  if (light.type == LightType::Area) emitter = light.origin + light.u * s + light.v * t;
  const Vec3 toLight = emitter - point;
  out.distance = length(toLight);
  out.direction = out.distance > 0.0 ? toLight / out.distance : Vec3{0.0, 1.0, 0.0};
  double factor = falloffFactor(*light.light, out.distance);
  const double c = -dot(light.forward, out.direction);  // cosine at the light
  switch (light.type) {
    case LightType::Spot: factor *= spotFactor(light.cosOuter, light.cosInner, c); break;
    case LightType::Area: factor *= std::abs(c); break;  // both faces emit
    case LightType::Linear: factor *= std::sqrt(std::max(0.0, 1.0 - c * c)); break;
    default: break;
  }
  out.color = light.color * factor;
  return factor > 0.0 && dot(out.color, out.color) > 0.0;
}

int lightSampleCount(const PlacedLight& light) {
  const int q = std::max(light.light ? light.light->quality : 1, 1);
  if (light.type == LightType::Linear) return q;
  if (light.type == LightType::Area) return q * q;
  return 1;
}

}  // namespace orvik::host
