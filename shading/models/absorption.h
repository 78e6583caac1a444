#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// The glass-absorption settings of a surface.
struct AbsorptionSettings {
    double surfaceShare = 1.0;         // share of the surface colour in the absorption colour
    Vec3 colour{150 / 255.0, 75 / 255.0, 20 / 255.0};  // absorption colour, 0..1
    double complementary = 0.0;        // strength and reach of the 1 - colour component
    double falloffDistance = 0.5;      // distance scale
    double contrast = 0.5;             // exponent shaping of the curve
};

// Fraction of each channel that survives a path of length d inside the body: a rational
// falloff (25 - x^2) / ((x^2 + 1) 25) in x = (2 d / falloff)^(2 contrast + 0.01) / 2, cut to
// 0 from x = 5 on, tinted by the base colour, plus the complementary colour near the surface.
Vec3 absorption(double d, Vec3 surfaceColour, const AbsorptionSettings& settings);

// Tint of the light transmitted through the surface. thickness < 0 (the ray found no
// far side) means no absorption; strength is the absorption strength (already multiplied
// and clamped with the host translucency when so set); colourFilter is the host's colour
// filter, which tints by the surface colour.
Vec3 transmissionTint(double thickness, Vec3 surfaceColour, double colourFilter, double strength,
                      const AbsorptionSettings& settings);

}  // namespace orvik
