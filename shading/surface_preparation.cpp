#include "shading/surface_preparation.h"

#include <cmath>

namespace orvik {

PreparedSpecularLayer prepareSpecularLayer(const SpecularLayerSettings& layer) {
  PreparedSpecularLayer r;
  const double s = layer.strength;
  const double t = layer.surfaceTint;
  r.anisotropy = layer.anisotropy;
  r.gloss = layer.gloss;
  r.glossBias = layer.glossBias;
  if (!(r.glossBias >= kGlossBiasMin)) r.glossBias = kGlossBiasMin;  // also catches NaN
  if (r.glossBias >= kGlossBiasMax) r.glossBias = kGlossBiasMax;
  r.surfaceTint = s * kSpecularStrengthScale * t;
  for (int c = 0; c < 3; ++c)
    r.colourWeight[c] = (1.0 - t) * layer.colour[c] * s * kSpecularStrengthScale / 255.0;
  r.roughness = (1.01 - std::fabs(layer.gloss)) * 0.75;
  const double roughnessForInverse = std::fabs(r.roughness) < kMinRoughness ? kMinRoughness : r.roughness;
  r.inverseRoughness2 = 1.0 / (roughnessForInverse * roughnessForInverse);
  r.bumpRespect = layer.bumpRespect;
  r.retro = layer.retro;
  r.angleRadians = layer.angleDegrees * kDegreesToRadians;
  return r;
}

OrenNayarCoefficients orenNayarCoefficients(double roughDiffuse) {
  const double s = 1.4 * roughDiffuse * roughDiffuse;
  OrenNayarCoefficients k;
  k.A = 1.0 - 0.5 * s / (s + 0.33);
  k.B = 0.45 * s / (s + 0.09);
  k.C = 0.125 * s / (s + 0.09) * kOrenNayarCFactor;
  k.D = 0.17 * s / (s + 0.13);
  return k;
}

PreparedSurface prepareSurface(const SurfacePreparationInput& input) {
  PreparedSurface out;
  for (const SpecularLayerSettings& layer : input.layers) {
    if (!(std::fabs(layer.strength) > kSpecularStrengthThreshold)) continue;
    out.specularLayers[out.specularLayerCount++] = prepareSpecularLayer(layer);
  }
  out.orenNayar = orenNayarCoefficients(input.roughDiffuse);
  return out;
}

}  // namespace orvik
