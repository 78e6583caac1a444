#pragma once

#include "shading/models/specular_layer.h"
#include "shading/models/vec3.h"

namespace orvik {

// What one specular layer needs of the sample besides the light.
struct SpecularInputs {
    Vec3 normal;                 // the layer's normal, turned toward the viewer
    double viewCosine = 1.0;     // v . normal
    Vec3 view;                   // unit vector toward the viewer
    Vec3 light;                  // unit vector toward the light
    Vec3 halfVector;             // normalize(view + light)
    double rim = 0.0;            // rimWrap of the light (0 or negative)
    double terminatorSharpness = 0.0;
    double glossiness = 0.5;     // specularGlossiness of the sample's roughness
    double anisotropyAngle = 0.0;  // the sample's reference angle, radians
    Vec3 colour;                 // surface colour
    double specularWeight = 1.0;
};

// The highlight of one layer, added into rgb. Returns false when the light lies beyond the
// layer's terminator (the layer is then not lit at all). A lobe whose exponent reaches 20,
// or whose half vector lies below the reflection normal, adds nothing but still counts as lit.
//
// A Gaussian-style lobe in the tangent of the half-vector angle, after "Measuring and
// Modeling Anisotropic Reflection", Gregory J. Ward, SIGGRAPH 1992, with gloss shaping
// through Schlick's bias and a retro-reflective bend of the normal toward the viewer.
bool specularLayerResponse(const SpecularLayer& layer, const SpecularInputs& in, Vec3& rgb);

}  // namespace orvik
