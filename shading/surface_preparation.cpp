#include "shading/surface_preparation.h"

namespace orvik {

PreparedSurface prepareSurface(const SurfacePreparationInput& input) {
  PreparedSurface out;
  out.specularLayerCount = prepareSpecularLayers(input.layers, out.specularLayers);
  out.orenNayar = prepareOrenNayar(input.roughDiffuse);
  return out;
}

}  // namespace orvik
