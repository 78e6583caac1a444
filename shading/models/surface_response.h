#pragma once

#include <span>

#include "shading/models/oren_nayar.h"
#include "shading/models/specular_layer.h"
#include "shading/models/specular_response.h"
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

// At most this many specular layers shape a surface.
inline constexpr int kMaxSpecularLayers = 3;

// Everything of surfaceResponse that does not depend on the light: the turned normals,
// the view's side of the rough diffuse term and every specular layer's lobe. A sample
// prepares it once and asks it for every light and light point.
struct PreparedResponse {
    bool hostTranslucencyOff = false;
    OrenNayarCoefficients orenNayar;
    Vec3 view;
    Vec3 colour;
    double translucency = 0.0;
    double diffuseWeight = 0.0;
    DiffuseShaping shaping;
    DiffuseView diffuse;
    double rim = 0.0;
    BiasCurve terminator;  // of the specular layers
    int layerCount = 0;  // 0 when the specular weight is negligible
    SpecularView layers[kMaxSpecularLayers];
};

PreparedResponse prepareResponse(const SurfaceModel& model, const SurfacePoint& point, Vec3 v, double diffuseWeight,
                                 double specularWeight, double bumpScale, double anisotropyAngle);

// The terms a light takes part in: a light may switch off its diffuse or its specular
// light. Without diffuse the diffuse term still marks the sample lit, with weight 0.
struct LightTerms {
    bool diffuse = true;
    bool specular = true;
};

// The response of a prepared sample to unit light from l; equals surfaceResponse with the
// diffuse weight 0 for a light without diffuse and the specular weight 0 for one without
// specular, so one preparation serves every light of a sample.
SurfaceResponse respondToLight(const PreparedResponse& prepared, Vec3 l, LightTerms terms = {});

}  // namespace orvik
