#pragma once

#include "shading/models/absorption.h"
#include "shading/models/vec3.h"

namespace orvik {

// The translucent-lighting settings of a surface.
struct ScatteringSettings {
    double baseScattering = 0.8;   // 1 is isotropic at every depth
    double nonlinear = 0.5;        // how fast the phase function turns isotropic with depth
    double falloffDistance = 0.5;  // distance scale, above 0
};

// Anisotropy g of the phase function after light has travelled thickness t through the
// body: (1 - base^2) 0.98 at the surface, falling toward 0 with depth and cut to 0 when
// nonlinear^2 t reaches 20 times a fifth of the falloff distance.
double scatteringAnisotropy(double thickness, const ScatteringSettings& settings);

// Weight of one light's translucent contribution: the phase function at cosine c
// (c = -(L . D) for the scattering direction D) with anisotropy g, scaled by strength;
// light that arrives from the viewer's side (c < 0) fades with depth.
double translucentLightWeight(double c, double thickness, double g, double strength, double falloffDistance);

// Direction the translucent light is gathered along: the bumped normal nb mixed with the
// view v by surfaceRefraction, turned toward the viewer.
Vec3 translucencyDirection(Vec3 nb, Vec3 v, double surfaceRefraction);

// Colour factor of one light's translucent contribution (to be multiplied by its light
// colour): absorbed along the light's thickness through the body (negative: none found,
// taken as 0) and scattered by the depth-dependent phase function at c = -(L . D).
Vec3 translucentContribution(double c, double thickness, double strength, Vec3 surfaceColour,
                             const AbsorptionSettings& absorptionSettings, const ScatteringSettings& scattering);

}  // namespace orvik
