#pragma once

#include <span>

#include "shading/models/oren_nayar.h"
#include "shading/models/specular_layer.h"
#include "shading/models/vec3.h"

namespace orvik {

// The surface's settings and prepared values that shape its response to a light.
struct SurfaceModel {
    double diffuseBump = 1.0;            // share of the bump in the diffuse normal
    double rim = 0.0;                    // rim lighting
    double terminatorSharpness = 0.0;
    double skinScattering = 0.0;         // skin-style diffuse falloff
    bool hostTranslucencyOff = false;    // the host-style translucency term is replaced
    OrenNayarCoefficients orenNayar;
    std::span<const SpecularLayer> layers;
};

// The sample's own values.
struct SurfacePoint {
    Vec3 normal0;                  // unbumped unit normal
    Vec3 normal;                   // bumped unit normal
    Vec3 colour;
    double translucency = 0.0;     // host translucency channel
    double diffuseSharpness = 1.0; // host diffuse sharpness
    double roughness = 0.0;        // host roughness channel
};

struct SurfaceResponse {
    Vec3 rgb;          // response to unit white light
    bool lit = false;  // some term was evaluated, so a shadow test is worth making
};

// Response of the surface to unit light from direction l, seen from v (both unit vectors
// away from the surface): host-style translucency, the rough diffuse term and every
// specular layer. The weights scale the diffuse and specular terms; bumpScale the bump.
SurfaceResponse surfaceResponse(const SurfaceModel& model, const SurfacePoint& point, Vec3 v, Vec3 l,
                                double diffuseWeight, double specularWeight, double bumpScale,
                                double anisotropyAngle);

}  // namespace orvik
