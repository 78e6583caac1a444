// The per-frame sampling factors the pixel filter publishes to the shading:
// the soft-reflection and area-light ray-count factors, the jitter phase of
// the current antialiasing pass and the pass count. Without a pixel filter
// every reader gets the neutral values.
#pragma once

#include <cstdint>

namespace orvik {

inline constexpr double kNeutralAreaFactor = 0.57735;
inline constexpr double kNeutralReflectionFactor = 1.0;
inline constexpr double kNeutralJitter = 0.5;

struct SamplingFactors {
  bool present = false;  // a pixel filter exists
  double reflectionFactor = kNeutralReflectionFactor;
  double areaFactor = kNeutralAreaFactor;
  double jitter = kNeutralJitter;  // the pass phase
  std::uint32_t passCount = 0;
};

// The active pixel filter's factors, or the neutral ones.
SamplingFactors samplingFactors();
double samplingReflectionFactor();
double samplingAreaFactor();
double samplingJitter();

// The formulas, for maxSamples samples per pixel (at least 1 is assumed).
double areaFactorFor(int maxSamples);
// With a master, reflectionQuality is its REFLECTIONQ.
double reflectionFactorFor(int maxSamples, bool masterPresent, double reflectionQuality);
// frac((passCount + 0.5) / maxSamples).
double passPhaseFor(int passCount, int maxSamples);

// Connects the shading's sampling hook to the active pixel filter.
void installSamplingHook();

}  // namespace orvik
