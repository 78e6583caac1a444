#pragma once

#include "shading/models/vec3.h"

namespace orvik {

// The skin settings of a surface.
struct SkinSettings {
    double scattering = 0.0;   // multilayer subsurface scattering, the epidermis strength
    double visibility = 0.0;   // epidermis visibility; at 0.001 or below nothing changes
    double layer = 0.25;       // how far toward the centre of view the epidermis shows
    Vec3 bloodColour{150 / 255.0, 40 / 255.0, 20 / 255.0};  // 0..1
    double followBump = 0.0;   // share of the bumped normal
};

// Reads the surface colour as a mix (1 - e) epidermis + e blood and shows the epidermis
// toward the silhouette; facing the viewer the colour stays as it is.
Vec3 skinColour(Vec3 colour, Vec3 normal0, Vec3 normal, Vec3 v, const SkinSettings& settings);

}  // namespace orvik
