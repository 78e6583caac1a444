// The central shading routine: one colour from a sample's channels, its
// traced reflection and refraction, and every light of a LightList. The
// render's evaluate calls it with mask kRenderComponents; re-composition of
// stored previews and the pixel-information window call it with stored
// inputs and masks of their own.
#pragma once

#include <cstdint>

#include "sdk/shader.h"
#include "shading/light_list.h"

namespace orvik {

struct SurfaceInstance;

// Component mask: a cleared bit switches the component off.
inline constexpr std::uint32_t kComponentDiffuse = 0x1;
inline constexpr std::uint32_t kComponentSpecular = 0x2;
inline constexpr std::uint32_t kComponentAmbient = 0x4;
inline constexpr std::uint32_t kComponentLuminous = 0x8;
inline constexpr std::uint32_t kComponentGlobalIllum = 0x10;
inline constexpr std::uint32_t kComponentReflection = 0x20;
inline constexpr std::uint32_t kComponentTransparency = 0x40;
inline constexpr std::uint32_t kComponentShadowDensity = 0x80;
inline constexpr std::uint32_t kComponentTranslucent = 0x400;
inline constexpr std::uint32_t kComponentStopAfterEdges = 0x800;
inline constexpr std::uint32_t kComponentGatherNow = 0x1000;  // render time: trace, gather radiosity
inline constexpr std::uint32_t kRenderComponents = 0xFFFFF7FFu;

// A weight switched off by the mask.
inline constexpr double kWeightOff = -99999.0;
// First radiosity-cache value that marks a zeroed back face.
inline constexpr float kZeroedBackFace = -1e7f;
inline constexpr float kZeroedBackFaceBelow = -999.0f;
// Per-light translucency value of a light not computed.
inline constexpr float kNoLightThickness = -99.0f;

// What the pixel filter tells the shading (neutral values without one).
struct PixelFilterSampling {
  bool present = false;
  double areaFactor = 0.57735;
  double reflectionFactor = 1.0;
  double passPhase = 0.5;
  std::uint32_t passCount = 0;
};

// What the evaluation hands the shading besides the host's access, as ShadeSample takes
// it, and the colour that came out.
struct SampleInputs {
  const std::uint8_t* shadowBytes = nullptr;  // 3 per light with a capture slot
  const float* radiosityCache = nullptr;      // 3
  const float* reflectionColour = nullptr;    // 3
  float reflectionHitFraction = 0.0f;
  const float* refractionColour = nullptr;    // 3
  float samplingWeight = 1.0f;
  float anisotropyAngle = 0.0f;
  float thickness = 0.0f;
  const float* lightTranslucency = nullptr;   // one per light of the list, or null
  int lightTranslucencyCount = 0;
  const double* colour = nullptr;             // 3: the shaded result
};

// Hook points filled by the pixel filter and the preview store when they exist.
struct EvaluateHooks {
  // The pixel filter's sampling factors; false without a pixel filter.
  bool (*pixelFilterSampling)(PixelFilterSampling& out) = nullptr;
  // Whether the pixel filter has a current store whose grid holds the sample's pixel
  // in a still empty cell.
  bool (*captureWanted)(const SurfaceInstance* inst, const HostShaderAccess* sa) = nullptr;
  // Stores the captured sample: its host channels and everything else the evaluation
  // gave the shading, so that the sample can be shaded again from the store.
  void (*captureSample)(const SurfaceInstance* inst, const HostShaderAccess* sa, const LightList* lights,
                        const SampleInputs& in) = nullptr;
};
void setEvaluateHooks(const EvaluateHooks& hooks);
const EvaluateHooks& evaluateHooks();
// The pixel filter's values, or the neutral ones.
PixelFilterSampling pixelFilterSampling();

// shadowBytes holds 3 bytes for each light with a capture slot (lights->captureCount);
// lightTranslucency one value per light of the list (or null: none computed).
void ShadeSample(SurfaceInstance* inst, const LightList* lights, HostShaderAccess* sa, std::uint32_t mask,
                 const int* enable, std::uint8_t* shadowBytes, float radiosityCache[3], const float reflectionColour[3],
                 float reflectionHitFraction, const float refractionColour[3], float samplingWeight,
                 float anisotropyAngle, float thickness, const float* lightTranslucency, double out[3]);

// ShadeSample with the instance's settings already read for this sample (by evaluate).
struct EvalSettings;
void ShadeSampleWith(const EvalSettings& settings, SurfaceInstance* inst, const LightList* lights,
                     HostShaderAccess* sa, std::uint32_t mask, const int* enable, std::uint8_t* shadowBytes,
                     float radiosityCache[3], const float reflectionColour[3], float reflectionHitFraction,
                     const float refractionColour[3], float samplingWeight, float anisotropyAngle, float thickness,
                     const float* lightTranslucency, double out[3]);

// Environment colour seen along d for a surface: the host's backdrop, or the surface's
// spherical reflection image with its five-tap blur. reflectionOptions is the surface's
// "ReflectionOptions".
struct EnvironmentSource {
  HostSurfaceId surface = nullptr;
  int reflectionOptions = 0;
  double time = 0.0;
};
EnvironmentSource environmentSource(const SurfaceInstance& inst);
void environmentColour(const EnvironmentSource& source, const double d[3], double rgb[3]);

}  // namespace orvik
