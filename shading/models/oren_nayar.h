#pragma once

#include "shading/models/bias.h"
#include "shading/models/vec3.h"

namespace orvik {

// Coefficients of the rough diffuse model, prepared once from the roughness setting.
struct OrenNayarCoefficients {
    double a = 1.0;  // first-order constant term
    double b = 0.0;  // first-order azimuthal term
    double c = 0.0;  // first-order third term
    double d = 0.0;  // interreflection term
};

// Constants of the light's side of the rough diffuse term (shared with the paired
// evaluation of light points).
namespace oren_nayar {
inline constexpr double kFourOverPiSquared = 0.4052847345693511;   // 4 / pi^2
inline constexpr double kEightOverPiCubed = 0.25801227546559596;   // 8 / pi^3
inline constexpr double kRimScale = 1.5;
inline constexpr double kSkinSpread = 0.8;
inline constexpr double kSmoothLimit = 0.9999;  // a = 1: no roughness, plain shaped Lambert
inline constexpr double kSinEpsilon = 1e-8;

// theta / sin(theta) over 0 .. pi/2 as a rational function; for a double or a vector of
// doubles (always inlined, so that it takes on the instruction set of its caller).
template <class T>
[[gnu::always_inline]] inline T thetaOverSin(T theta) {
    return ((0.155079166 * theta - 0.333984969) * theta + 1.278379134) / (1.279492778 - 0.3537883265 * theta);
}
}  // namespace oren_nayar

// From the roughness r: s = 1.4 r^2 stands in for sigma^2.
OrenNayarCoefficients prepareOrenNayar(double roughness);

// Shapes of the diffuse term that do not depend on the light.
struct DiffuseShaping {
    double rim = 0.0;                  // rim wrap amount
    double terminatorSharpness = 0.0;  // -1 .. : shapes the falloff at the terminator
    double diffuseSharpness = 1.0;     // the host's diffuse sharpness of the sample
    double skinScattering = 0.0;       // skin-style falloff weight, 0 .. 1
};

// The rim wrap of a light: negative when the light shines from behind toward the viewer
// and rim lighting is on, else 0. Shared by the diffuse and specular terms.
double rimWrap(Vec3 v, Vec3 l, double rim);

// Diffuse reflection of unit white light from l, seen from v, for a surface of the given
// colour. nd is the diffuse normal already turned toward the viewer and cv = v . nd.
// Returns false (and leaves rgb alone) when the light lies beyond the (wrapped) terminator.
//
// "Generalization of Lambert's Reflectance Model", Michael Oren and Shree K. Nayar,
// SIGGRAPH 1994: the qualitative model with its interreflection term, with theta / sin theta
// replaced by a rational approximation so that only two arc cosines are needed.
bool orenNayarDiffuse(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, Vec3 nd,
                      double cv, Vec3 v, Vec3 l, Vec3 colour, double diffuseWeight, Vec3& rgb);

// The view's side of the rough diffuse term, the same for every light of a sample.
struct DiffuseView {
    Vec3 normal;             // nd
    Vec3 view;               // v
    double cosine = 1.0;     // cv = v . nd
    double angle = 0.0;      // acos(cv)
    double sine = 0.0;       // sin of that angle
    double angleOverSine = 1.0;
    Vec3 viewCrossNormal;    // v x nd
    BiasCurve terminator;    // the terminator's shaping
};

// The view's angle terms are prepared only for a rough surface (coefficient a below 0.9999);
// a smooth one is the shaped Lambert term and never reads them.
DiffuseView prepareDiffuseView(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, Vec3 nd, double cv,
                               Vec3 v);

// orenNayarDiffuse for a prepared view.
bool orenNayarDiffuseView(const OrenNayarCoefficients& on, const DiffuseShaping& shaping, const DiffuseView& view,
                          Vec3 l, Vec3 colour, double diffuseWeight, Vec3& rgb);

}  // namespace orvik
