#pragma once

namespace orvik {

// One prepared specular layer: sixteen doubles in this fixed order, prepared from a
// layer's settings whenever the settings or the time change.
struct SpecularLayer {
    double anisotropy = 0.0;         // 0: the layer's anisotropy
    double gloss = 0.0;              // 1: gloss boost
    double glossBias = 0.5;          // 2: gloss bias, kept within 0.001 .. 0.999
    double surfaceTint = 0.0;        // 3: strength * 0.1125 * surface colour tint
    double colourWeight[3] = {};     // 4-6: (1 - tint) * colour / 255 * strength * 0.1125
    double unused[4] = {};           // 7-10: not set
    double roughness = 0.0;          // 11: (1.01 - |gloss|) * 0.75
    double inverseRoughness2 = 0.0;  // 12: 1 / roughness^2
    double bumpRespect = 1.0;        // 13: share of the bump in the layer's normal
    double retro = 0.0;              // 14: retro reflection
    double angleRadians = 0.0;       // 15: anisotropy angle
};
static_assert(sizeof(SpecularLayer) == 16 * sizeof(double), "SpecularLayer is sixteen doubles");

// The settings of one layer as the panel holds them.
struct SpecularLayerSettings {
    double strength = 1.0;
    int colour[3] = {255, 255, 255};  // 0..255
    double surfaceColourTint = 0.0;
    double gloss = 1.0;
    double glossBias = 0.5;
    double anisotropy = 0.0;
    double anisotropyAngleDegrees = 0.0;
    double retro = 0.0;
    double bumpRespect = 1.0;
};

// A layer takes part in shading only when its strength is clearly non-zero.
bool specularLayerActive(double strength);

SpecularLayer prepareSpecularLayer(const SpecularLayerSettings& settings);

// Packs the active layers of up to three settings records, in order and without gaps,
// into out[0..2]; returns how many were written.
int prepareSpecularLayers(const SpecularLayerSettings (&settings)[3], SpecularLayer (&out)[3]);

}  // namespace orvik
