#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// The PhotoMap settings of a surface.
struct PhotoMapSettings {
    double strength = 0.0;         // 0 leaves the colour alone
    double white = 0.65;           // white point: min/max ratio the result keeps
    double whiteRange = 0.35;
    double brightness = 0.65;      // target brightness of the largest channel
    double brightnessRange = 0.3;
    double biasTint = 0.0;         // share of the bias colour
    Vec3 biasColour{167 / 255.0, 124 / 255.0, 105 / 255.0};
};

// Re-maps a photographic colour map: its largest channel to a target brightness that
// rises with it, and its min/max ratio into the white range, by one linear map k c + d
// per colour; blended with the original by strength.
Vec3 photoMap(Vec3 colour, const PhotoMapSettings& settings);

}  // namespace orvik
