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
constexpr double kMinTanSquared = 1e-9;
constexpr double kLobeCutoff = 20.0;  // e^-20: nothing visible remains
}  // namespace

bool specularLayerResponse(const SpecularLayer& layer, const SpecularInputs& in, Vec3& rgb) {
    // Terminator of the layer, wrapped by the rim like the diffuse term.
    const double x = (dot(in.normal, in.light) - in.rim) / (1.0 - in.rim);
    if (!(x > 0.0)) return false;
    const double terminator = bias(x, (in.terminatorSharpness + 1.0) * 0.5);

    // Retro reflection bends the normal toward the viewer.
    const Vec3 nr = normalize(in.normal * (1.0 - layer.retro) + in.view * layer.retro);
    const double cosHalf = dot(nr, in.halfVector);
    // A half vector below the normal has no mirrored twin above it: no highlight.
    if (!(cosHalf > 0.0)) return true;

    double aniso = 1.0;
    if (layer.anisotropy > 0.0) {
        const Vec3 tangent = tangentAt(nr, in.anisotropyAngle + layer.angleRadians);
        const double p = dot(tangent, normalize(in.halfVector - nr * cosHalf));
        const double e = (layer.anisotropy + 1.0) * (layer.anisotropy + 1.0);
        aniso = e * p * p + (1.0 - p * p) / e;
    }
    const double tanSquared = std::max(1.0 / (cosHalf * cosHalf) - 1.0, kMinTanSquared);

    // Gloss shaping: boosted gloss G in 0 .. 1, a negative boost switches it off.
    double q = (1.0 + kRetroGlossBoost * std::clamp(layer.retro, 0.0, kMaxRetroForGloss)) * layer.gloss;
    double gloss = 0.0;
    if (q >= 0.0) {
        q /= layer.anisotropy * layer.anisotropy * 0.5 + 1.0;
        gloss = q > 1.0 ? 1.0 - (1.0 - in.glossiness) / q : q * in.glossiness;
    }
    const double peak = kPeakScale * std::exp(-kPeakFalloff * gloss);
    const double sharpnessRoot = 1.0 - bias(gloss, kSharpnessBias);
    const double sharpness = 1.0 / (sharpnessRoot * sharpnessRoot);

    const double exponent = sharpness * tanSquared * aniso;
    const double z = exponent < 0.0 ? 0.0 : std::pow(exponent, 2.0 * layer.glossBias);
    if (!(z < kLobeCutoff)) return true;

    const double w = std::exp(-z) * peak * sharpness * terminator * in.specularWeight * std::sqrt(in.viewCosine);
    const Vec3 weight{layer.colourWeight[0], layer.colourWeight[1], layer.colourWeight[2]};
    rgb += (in.colour * layer.surfaceTint + weight) * w;
    return true;
}

}  // namespace orvik
