// Values prepared from a surface's settings once per frame and after every
// edit: the specular layer records and the rough-diffuse coefficients, as a
// pure function of the setting values.
#pragma once

#include "shading/models/oren_nayar.h"
#include "shading/models/specular_layer.h"
#include "shading/surface_settings.h"

namespace orvik {

struct SurfacePreparationInput {
  SpecularLayerSettings layers[kSpecularLayerCount];
  double roughDiffuse = 0.0;  // ROUGHDIFFUSE
};

struct PreparedSurface {
  int specularLayerCount = 0;
  SpecularLayer specularLayers[kSpecularLayerCount];
  OrenNayarCoefficients orenNayar;
};

// The whole preparation: one record per layer whose strength is not zero, in
// layer order with the later layers moving down, and the coefficients.
PreparedSurface prepareSurface(const SurfacePreparationInput& input);

}  // namespace orvik
