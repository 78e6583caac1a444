#include "preview/sampling_factors.h"

#include <cmath>

#include "preview/pixel_filter.h"
#include "shading/shade_sample.h"

namespace orvik {
namespace {

// Offsets of the reflection factor's quality curve.
constexpr double kReflectionQualityOffset = 0.1;
// Added to the samples per pixel under the square root of both factors.
constexpr double kSampleCountOffset = 2.0;

bool fillShadingSampling(PixelFilterSampling& out) {
  const SamplingFactors f = samplingFactors();
  if (!f.present) return false;
  out.present = true;
  out.areaFactor = f.areaFactor;
  out.reflectionFactor = f.reflectionFactor;
  out.passPhase = f.jitter;
  out.passCount = f.passCount;
  return true;
}

}  // namespace

SamplingFactors samplingFactors() {
  SamplingFactors s;
  const PixelFilterInstance* f = activePixelFilter();
  if (!f) return s;
  s.present = true;
  s.reflectionFactor = f->reflectionFactor.load(std::memory_order_relaxed);
  s.areaFactor = f->areaFactor.load(std::memory_order_relaxed);
  s.jitter = f->passPhase.load(std::memory_order_relaxed);
  s.passCount = std::uint32_t(f->passCount.load(std::memory_order_relaxed));
  return s;
}

double samplingReflectionFactor() { return samplingFactors().reflectionFactor; }
double samplingAreaFactor() { return samplingFactors().areaFactor; }
double samplingJitter() { return samplingFactors().jitter; }

double areaFactorFor(int maxSamples) {
  return 1.0 / std::sqrt(double(maxSamples < 1 ? 1 : maxSamples) + kSampleCountOffset);
}

double reflectionFactorFor(int maxSamples, bool masterPresent, double reflectionQuality) {
  const double base = areaFactorFor(maxSamples);
  if (!masterPresent) return base;
  const double q = reflectionQuality + kReflectionQualityOffset;
  return (q * q + kReflectionQualityOffset) * base;
}

double passPhaseFor(int passCount, int maxSamples) {
  const double v = (passCount + 0.5) / double(maxSamples < 1 ? 1 : maxSamples);
  return v - std::floor(v);
}

void installSamplingHook() {
  EvaluateHooks hooks = evaluateHooks();
  hooks.pixelFilterSampling = fillShadingSampling;
  setEvaluateHooks(hooks);
}

}  // namespace orvik
