#include "shading/models/surface_response.h"

#include "shading/models/bump_normal.h"
#include "shading/models/face_viewer.h"
#include "shading/models/glossiness.h"
#include "shading/models/specular_response.h"

namespace orvik {

namespace {
constexpr double kMinSpecularWeight = 1e-6;
}  // namespace

SurfaceResponse surfaceResponse(const SurfaceModel& model, const SurfacePoint& point, Vec3 v, Vec3 l,
                                double diffuseWeight, double specularWeight, double bumpScale,
                                double anisotropyAngle) {
    SurfaceResponse out;

    // Diffuse normal, turned toward the viewer.
    const FacedNormal nd = faceViewer(v, blendBumpNormal(point.normal0, point.normal, bumpScale * model.diffuseBump));
    const double cl = dot(nd.normal, l);

    // Host-style translucency: light from behind the surface.
    if (!model.hostTranslucencyOff && cl < 0.0 && point.translucency > 0.0) {
        out.rgb = point.colour * (-point.translucency * cl);
        out.lit = true;
    }

    const DiffuseShaping shaping{model.rim, model.terminatorSharpness, point.diffuseSharpness, model.skinScattering};
    if (orenNayarDiffuse(model.orenNayar, shaping, nd.normal, nd.cosine, v, l, point.colour, diffuseWeight, out.rgb)) {
        out.lit = true;
    }

    if (!(specularWeight > kMinSpecularWeight) || model.layers.empty()) return out;

    SpecularInputs in;
    in.view = v;
    in.light = l;
    in.halfVector = normalize(v + l);
    in.rim = rimWrap(v, l, model.rim);
    in.terminatorSharpness = model.terminatorSharpness;
    in.glossiness = specularGlossiness(point.roughness);
    in.anisotropyAngle = anisotropyAngle;
    in.colour = point.colour;
    in.specularWeight = specularWeight;
    for (const SpecularLayer& layer : model.layers) {
        const FacedNormal ns =
            faceViewer(v, blendBumpNormal(point.normal0, point.normal, bumpScale * layer.bumpRespect));
        in.normal = ns.normal;
        in.viewCosine = ns.cosine;
        if (specularLayerResponse(layer, in, out.rgb)) out.lit = true;
    }
    return out;
}

}  // namespace orvik
