#include "shading/models/surface_response.h"

#include "shading/models/bump_normal.h"
#include "shading/models/face_viewer.h"
#include "shading/models/glossiness.h"
#include "shading/models/specular_response.h"

namespace orvik {

namespace {
constexpr double kMinSpecularWeight = 1e-6;
}  // namespace

PreparedResponse prepareResponse(const SurfaceModel& model, const SurfacePoint& point, Vec3 v, double diffuseWeight,
                                 double specularWeight, double bumpScale, double anisotropyAngle) {
    PreparedResponse out;
    out.hostTranslucencyOff = model.hostTranslucencyOff;
    out.orenNayar = model.orenNayar;
    out.view = v;
    out.colour = point.colour;
    out.translucency = point.translucency;
    out.diffuseWeight = diffuseWeight;
    out.rim = model.rim;
    out.terminator = BiasCurve((model.terminatorSharpness + 1.0) * 0.5);
    out.shaping = DiffuseShaping{model.rim, model.terminatorSharpness, point.diffuseSharpness, model.skinScattering};

    // Diffuse normal, turned toward the viewer.
    const FacedNormal nd = faceViewer(v, blendBumpNormal(point.normal0, point.normal, bumpScale * model.diffuseBump));
    out.diffuse = prepareDiffuseView(model.orenNayar, out.shaping, nd.normal, nd.cosine, v);

    if (!(specularWeight > kMinSpecularWeight)) return out;
    const double glossiness = specularGlossiness(point.roughness);
    for (const SpecularLayer& layer : model.layers) {
        if (out.layerCount == kMaxSpecularLayers) break;
        const FacedNormal ns =
            faceViewer(v, blendBumpNormal(point.normal0, point.normal, bumpScale * layer.bumpRespect));
        out.layers[out.layerCount++] = prepareSpecularView(layer, ns.normal, ns.cosine, v, glossiness,
                                                           anisotropyAngle, point.colour, specularWeight);
    }
    return out;
}

SurfaceResponse respondToLight(const PreparedResponse& prepared, Vec3 l, LightTerms terms) {
    SurfaceResponse out;
    const Vec3 v = prepared.view;
    const double cl = dot(prepared.diffuse.normal, l);

    // Host-style translucency: light from behind the surface.
    if (!prepared.hostTranslucencyOff && cl < 0.0 && prepared.translucency > 0.0) {
        out.rgb = prepared.colour * (-prepared.translucency * cl);
        out.lit = true;
    }

    if (orenNayarDiffuseView(prepared.orenNayar, prepared.shaping, prepared.diffuse, l, prepared.colour,
                             terms.diffuse ? prepared.diffuseWeight : 0.0, out.rgb)) {
        out.lit = true;
    }

    if (prepared.layerCount == 0 || !terms.specular) return out;
    const Vec3 h = normalize(v + l);
    const double rim = rimWrap(v, l, prepared.rim);
    for (int i = 0; i < prepared.layerCount; ++i) {
        if (specularViewResponse(prepared.layers[i], l, h, rim, prepared.terminator, out.rgb)) out.lit = true;
    }
    return out;
}

SurfaceResponse surfaceResponse(const SurfaceModel& model, const SurfacePoint& point, Vec3 v, Vec3 l,
                                double diffuseWeight, double specularWeight, double bumpScale,
                                double anisotropyAngle) {
    return respondToLight(prepareResponse(model, point, v, diffuseWeight, specularWeight, bumpScale, anisotropyAngle),
                          l);
}

}  // namespace orvik
