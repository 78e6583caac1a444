#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// Hue, saturation and value processing of a shaded result.
struct ColourProcessing {
    double hueShift = 0.0;    // degrees
    double saturation = 1.0;  // factor
    double value = 1.0;       // factor
};

// Desaturation with distance from the camera, from the master; strength <= 0 is off.
struct DistanceDesaturation {
    double strength = 0.0;  // the master's desaturation times the surface's share of it
    double distance = 0.0;  // from the ray source to the sample
    double clip = 0.0;      // distance where desaturation starts
    double falloff = 1.0;   // distance scale beyond it
};

// Each channel is raised to at least 1e-10, shifted in hue, scaled in saturation (then
// desaturated by distance and kept within 0..1) and scaled in value.
Vec3 processColour(Vec3 rgb, const ColourProcessing& processing, const DistanceDesaturation& desaturation);

}  // namespace orvik
