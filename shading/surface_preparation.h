// Values prepared from a surface's settings once per frame and after every
// edit: the specular layer records and the rough-diffuse coefficients. Pure
// functions of the setting values, so they can be checked alone.
#pragma once

#include "shading/surface_settings.h"

namespace orvik {

// Settings of one specular layer as read from its controls.
struct SpecularLayerSettings {
  double strength = 0.0;      // STRENGTHn
  int colour[3] = {255, 255, 255};  // COLORn, 0..255 each
  double surfaceTint = 0.0;   // SARBn
  double gloss = 1.0;         // GLOSSn
  double glossBias = 0.5;     // GLOSSSHARPn
  double anisotropy = 0.0;    // ANISOn
  double angleDegrees = 0.0;  // ANISOAn
  double retro = 0.0;         // SPECRETROn
  double bumpRespect = 1.0;   // SPECBUMPn
};

// The prepared record of one active specular layer: sixteen doubles in the
// order the specular model reads them.
struct PreparedSpecularLayer {
  double anisotropy = 0.0;         // 0
  double gloss = 0.0;              // 1
  double glossBias = 0.0;          // 2
  double surfaceTint = 0.0;        // 3
  double colourWeight[3] = {};     // 4-6
  double unused[4] = {};           // 7-10
  double roughness = 0.0;          // 11
  double inverseRoughness2 = 0.0;  // 12
  double bumpRespect = 0.0;        // 13
  double retro = 0.0;              // 14
  double angleRadians = 0.0;       // 15
};
static_assert(sizeof(PreparedSpecularLayer) == 16 * sizeof(double));

struct OrenNayarCoefficients {
  double A = 1.0, B = 0.0, C = 0.0, D = 0.0;
};

struct SurfacePreparationInput {
  SpecularLayerSettings layers[kSpecularLayerCount];
  double roughDiffuse = 0.0;  // ROUGHDIFFUSE
};

struct PreparedSurface {
  int specularLayerCount = 0;
  PreparedSpecularLayer specularLayers[kSpecularLayerCount];
  OrenNayarCoefficients orenNayar;
};

// A layer whose strength is at most this (in absolute value) takes no record.
inline constexpr double kSpecularStrengthThreshold = 0.0001;
// Scale of a layer's strength into its tint and colour weights.
inline constexpr double kSpecularStrengthScale = 0.1125;
// The gloss bias is kept inside this range.
inline constexpr double kGlossBiasMin = 0.001;
inline constexpr double kGlossBiasMax = 0.999;
inline constexpr double kDegreesToRadians = 0.017453292519943295;
// (4 / pi^2)^2, the factor of the third rough-diffuse coefficient.
inline constexpr double kOrenNayarCFactor = 0.1642557160749494;
// Smallest roughness whose inverse square is taken; a gloss boost of exactly
// 101% would otherwise give a roughness of 0 and an infinite inverse.
inline constexpr double kMinRoughness = 1e-6;

// The record of one layer from its settings.
PreparedSpecularLayer prepareSpecularLayer(const SpecularLayerSettings& layer);

// Rough-diffuse coefficients A..D from the roughness r (ROUGHDIFFUSE).
OrenNayarCoefficients orenNayarCoefficients(double roughDiffuse);

// The whole preparation: one record per layer whose strength is not zero,
// in layer order with the later layers moving down, and the coefficients.
PreparedSurface prepareSurface(const SurfacePreparationInput& input);

}  // namespace orvik
