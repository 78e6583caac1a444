// The shader's evaluate: classifies a sample, adjusts the host's own shading
// on samples of other code's rays (the light path), or shades it completely
// (the full path): the module's own refraction, thickness and reflection rays
// through the host, ShadeSample, capture and the tagged result.
#pragma once

#include "sdk/shader.h"

namespace orvik {

struct SurfaceInstance;
struct ThreadRecord;

// Sample kinds written into the record's flags.
inline constexpr int kKindSourceItem = 2;
inline constexpr int kKindNoObjectCamera = 5;
inline constexpr int kKindOwnRay = 8;
inline constexpr int kKindForeignRay = 1;

// Thresholds of the module's own rays.
inline constexpr double kMinimumRefractionWeight = 0.02;
inline constexpr double kMinimumMirror = 0.01;
inline constexpr double kMinimumWeightedMirror = 0.001;
inline constexpr double kSharpReflectionSpread = 0.001;
inline constexpr double kRayOffsetScale = 5e-7;
inline constexpr double kMinimumMediumIndex = 0.001;
inline constexpr double kRayStartTolerance = 1e-7;
inline constexpr double kUnitRatioTolerance = 0.0001;

// The kind of a sample for the thread's record (which it may change: a foreign ray
// seen in own-ray mode resets rayMode to 1).
int classifySample(const HostShaderAccess* sa, ThreadRecord& thread);
// Whether a kind takes the light path.
bool isLightPathKind(int kind);

// The host's evaluate entry.
void evaluate(SurfaceInstance* inst, HostShaderAccess* sa);

// The same with the host's signature, for the shader handler record.
void surfaceEvaluateEntry(HostInstance inst, HostShaderAccess* sa);

// Installs the light gathering of the surface instances' new time. Done when the
// module loads (this file's static initialiser); callable again, harmlessly.
void installEvaluation();

}  // namespace orvik
