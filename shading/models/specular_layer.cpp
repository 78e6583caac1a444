#include "shading/models/specular_layer.h"

#include <algorithm>
#include <cmath>

namespace orvik {

namespace {
constexpr double kActiveStrength = 0.0001;
constexpr double kSpecularScale = 0.1125;
constexpr double kMinGlossBias = 0.001;
constexpr double kMaxGlossBias = 0.999;
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRoughnessOffset = 1.01;
constexpr double kRoughnessScale = 0.75;
// A gloss of exactly 1.01 would make the roughness 0; its inverse square stays finite.
constexpr double kMinRoughnessSquared = 1e-12;
}  // namespace

bool specularLayerActive(double strength) { return std::fabs(strength) > kActiveStrength; }

SpecularLayer prepareSpecularLayer(const SpecularLayerSettings& s) {
    SpecularLayer layer;
    layer.anisotropy = s.anisotropy;
    layer.gloss = s.gloss;
    layer.glossBias = std::clamp(s.glossBias, kMinGlossBias, kMaxGlossBias);
    const double scaled = s.strength * kSpecularScale;
    layer.surfaceTint = scaled * s.surfaceColourTint;
    for (int i = 0; i < 3; ++i) {
        layer.colourWeight[i] = (1.0 - s.surfaceColourTint) * s.colour[i] * scaled / 255.0;
    }
    layer.roughness = (kRoughnessOffset - std::fabs(s.gloss)) * kRoughnessScale;
    layer.inverseRoughness2 = 1.0 / std::max(layer.roughness * layer.roughness, kMinRoughnessSquared);
    layer.bumpRespect = s.bumpRespect;
    layer.retro = s.retro;
    layer.angleRadians = s.anisotropyAngleDegrees * kDegreesToRadians;
    return layer;
}

int prepareSpecularLayers(const SpecularLayerSettings (&settings)[3], SpecularLayer (&out)[3]) {
    int count = 0;
    for (const SpecularLayerSettings& s : settings) {
        if (specularLayerActive(s.strength)) out[count++] = prepareSpecularLayer(s);
    }
    return count;
}

}  // namespace orvik
