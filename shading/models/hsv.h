#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Hue (degrees, 0 .. 360), saturation and value of the hexcone colour model,
// "Color Gamut Transform Pairs", Alvy Ray Smith, SIGGRAPH 1978.
struct Hsv {
    double h = 0.0;
    double s = 0.0;
    double v = 0.0;
};

// v is the largest component; a value below 1e-10 or a saturation below 1e-9 is a grey
// with hue and saturation 0.
Hsv rgbToHsv(Vec3 rgb);

// Any hue is wrapped into [0, 360); a saturation of 1e-12 or less gives grey (v, v, v).
Vec3 hsvToRgb(Hsv hsv);

}  // namespace orvik
