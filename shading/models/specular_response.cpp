#include "shading/models/specular_response.h"

#include <algorithm>
#include <cmath>

#include "shading/models/bias.h"
#include "shading/models/tangent_frame.h"

namespace orvik {

namespace {
constexpr double kRetroGlossBoost = 0.75;
constexpr double kMaxRetroForGloss = 2.0;
constexpr double kPeakScale = 7.0;
constexpr double kPeakFalloff = 6.5;
constexpr double kSharpnessBias = 0.84;
}  // namespace

SpecularView prepareSpecularView(const SpecularLayer& layer, Vec3 normal, double viewCosine, Vec3 view,
                                 double glossiness, double anisotropyAngle, Vec3 colour, double specularWeight) {
    SpecularView out;
    out.normal = normal;
    // Retro reflection bends the normal toward the viewer.
    out.retroNormal = normalize(normal * (1.0 - layer.retro) + view * layer.retro);
    if (layer.anisotropy > 0.0) {
        out.anisotropic = true;
        out.tangent = tangentAt(out.retroNormal, anisotropyAngle + layer.angleRadians);
        out.anisotropyRatio = (layer.anisotropy + 1.0) * (layer.anisotropy + 1.0);
    }

    // Gloss shaping: boosted gloss G in 0 .. 1, a negative boost switches it off.
    double q = (1.0 + kRetroGlossBoost * std::clamp(layer.retro, 0.0, kMaxRetroForGloss)) * layer.gloss;
    double gloss = 0.0;
    if (q >= 0.0) {
        q /= layer.anisotropy * layer.anisotropy * 0.5 + 1.0;
        gloss = q > 1.0 ? 1.0 - (1.0 - glossiness) / q : q * glossiness;
    }
    const double peak = kPeakScale * std::exp(-kPeakFalloff * gloss);
    const double sharpnessRoot = 1.0 - bias(gloss, kSharpnessBias);
    out.sharpness = 1.0 / (sharpnessRoot * sharpnessRoot);
    out.power = 2.0 * layer.glossBias;
    out.scale = peak * out.sharpness * specularWeight * std::sqrt(viewCosine);
    const Vec3 weight{layer.colourWeight[0], layer.colourWeight[1], layer.colourWeight[2]};
    out.colour = colour * layer.surfaceTint + weight;
    return out;
}

bool specularViewResponse(const SpecularView& view, Vec3 l, Vec3 h, double rim, const BiasCurve& terminator,
                          Vec3& rgb) {
    // Terminator of the layer, wrapped by the rim like the diffuse term.
    const double cl = dot(view.normal, l);
    const double x = rim == 0.0 ? cl : (cl - rim) / (1.0 - rim);
    if (!(x > 0.0)) return false;

    const Vec3 nr = view.retroNormal;
    const double cosHalf = dot(nr, h);
    // A half vector below the normal has no mirrored twin above it: no highlight.
    if (!(cosHalf > 0.0)) return true;

    double aniso = 1.0;
    if (view.anisotropic) {
        const double p = dot(view.tangent, normalize(h - nr * cosHalf));
        const double e = view.anisotropyRatio;
        aniso = e * p * p + (1.0 - p * p) / e;
    }
    const double tanSquared = std::max(1.0 / (cosHalf * cosHalf) - 1.0, kMinTanSquared);
    const double exponent = view.sharpness * tanSquared * aniso;
    // pow(x, 1) is x: the common gloss bias of 0.5 needs no power.
    const double z = exponent < 0.0 ? 0.0 : view.power == 1.0 ? exponent : std::pow(exponent, view.power);
    if (!(z < kLobeCutoff)) return true;

    rgb += view.colour * (std::exp(-z) * terminator(x) * view.scale);
    return true;
}

bool specularLayerResponse(const SpecularLayer& layer, const SpecularInputs& in, Vec3& rgb) {
    const SpecularView view = prepareSpecularView(layer, in.normal, in.viewCosine, in.view, in.glossiness,
                                                  in.anisotropyAngle, in.colour, in.specularWeight);
    return specularViewResponse(view, in.light, in.halfVector, in.rim, BiasCurve((in.terminatorSharpness + 1.0) * 0.5),
                                rgb);
}

}  // namespace orvik
