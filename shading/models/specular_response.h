#pragma once

#include "shading/models/bias.h"
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

// The part of a layer's highlight that does not depend on the light, prepared once per
// sample so that the many lights and light points of a sample (an area light asks for
// sixteen and more) pay only for what changes with the light direction.
inline constexpr double kMinTanSquared = 1e-9;
inline constexpr double kLobeCutoff = 20.0;  // e^-20: nothing visible remains

struct SpecularView {
    Vec3 normal;                 // the layer's normal, turned toward the viewer
    Vec3 retroNormal;            // the normal bent toward the viewer by the retro reflection
    Vec3 tangent;                // anisotropy tangent on the retro normal
    double anisotropyRatio = 1.0;  // (anisotropy + 1)^2, 1 for an isotropic layer
    bool anisotropic = false;
    double sharpness = 1.0;      // lobe sharpness from the shaped gloss
    double power = 1.0;          // 2 * gloss bias: the exponent's exponent
    double scale = 0.0;          // peak * sharpness * weight * sqrt(view cosine)
    Vec3 colour;                 // colour of the highlight: tinted surface colour + layer colour
};

SpecularView prepareSpecularView(const SpecularLayer& layer, Vec3 normal, double viewCosine, Vec3 view,
                                 double glossiness, double anisotropyAngle, Vec3 colour, double specularWeight);

// The highlight of a prepared layer for one light: l the unit light direction, h the unit
// half vector, rim the rim wrap of the light and terminator the bias curve of
// (terminator sharpness + 1) / 2. Same results and return value as specularLayerResponse.
bool specularViewResponse(const SpecularView& view, Vec3 l, Vec3 h, double rim, const BiasCurve& terminator,
                          Vec3& rgb);

}  // namespace orvik
