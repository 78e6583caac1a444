#include "shading/models/light_pair.h"

#include <cmath>
#include <cstdint>

#include "shading/models/arc_cosine.h"
#include "shading/models/light_falloff.h"
#include "shading/models/oren_nayar.h"
#include "shading/models/specular_response.h"

namespace orvik {
namespace {

// Two doubles in the lanes of one register, and the lane masks their comparisons give
// (all bits set where true).
using Pair = double __attribute__((vector_size(16)));
using Mask = std::int64_t __attribute__((vector_size(16)));

Pair splat(double x) { return Pair{x, x}; }
Mask allLanes(bool on) { return Mask{on ? -1 : 0, on ? -1 : 0}; }
bool anyLane(Mask m) { return (m[0] | m[1]) != 0; }
bool lane(Mask m, int i) { return m[i] != 0; }
Pair pick(Mask m, Pair a, Pair b) { return m ? a : b; }

Pair squareRoot(Pair a) { return Pair{std::sqrt(a[0]), std::sqrt(a[1])}; }
// fabs: the sign bit cleared, so that -0 becomes +0 as with std::fabs.
Pair absolute(Pair a) {
    constexpr std::int64_t kMagnitude = 0x7fffffffffffffff;
    return reinterpret_cast<Pair>(reinterpret_cast<Mask>(a) & Mask{kMagnitude, kMagnitude});
}
// std::max(lo, a) and std::max(a, lo) as the standard library computes them.
Pair maxOf(double lo, Pair a) { return pick(splat(lo) < a, a, splat(lo)); }
Pair maxWith(Pair a, double lo) { return pick(a < splat(lo), splat(lo), a); }
Pair clampTo(Pair a, double lo, double hi) { return pick(a < splat(lo), splat(lo), pick(splat(hi) < a, splat(hi), a)); }

struct Pair3 {
    Pair x, y, z;
};
Pair3 splat3(Vec3 a) { return {splat(a.x), splat(a.y), splat(a.z)}; }
Pair3 operator+(const Pair3& a, const Pair3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Pair3 operator-(const Pair3& a, const Pair3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Pair3 operator*(const Pair3& a, Pair s) { return {a.x * s, a.y * s, a.z * s}; }
Pair3 operator/(const Pair3& a, Pair s) { return {a.x / s, a.y / s, a.z / s}; }
Pair dot(const Pair3& a, const Pair3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Pair3 cross(const Pair3& a, const Pair3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Pair3 pick(Mask m, const Pair3& a, const Pair3& b) { return {pick(m, a.x, b.x), pick(m, a.y, b.y), pick(m, a.z, b.z)}; }
// normalize(), with its fallback direction for a zero vector.
[[gnu::always_inline]] inline Pair3 normalised(const Pair3& a) {
    const Pair len = squareRoot(dot(a, a));
    const Mask zero = len == splat(0.0);
    return pick(zero, splat3(kFallbackDirection), a / pick(zero, splat(1.0), len));
}
Vec3 laneOf(const Pair3& a, int i) { return {a.x[i], a.y[i], a.z[i]}; }
Pair3 pairOf(const Vec3 v[2]) { return {Pair{v[0].x, v[1].x}, Pair{v[0].y, v[1].y}, Pair{v[0].z, v[1].z}}; }

// The colour c times a per-lane factor, as Vec3 * double.
Pair3 scaled(Vec3 c, Pair k) { return {splat(c.x) * k, splat(c.y) * k, splat(c.z) * k}; }
void addWhere(Mask m, Pair3& sum, const Pair3& add) { sum = pick(m, sum + add, sum); }

// BiasCurve::operator() lane by lane.
Pair biasOf(const BiasCurve& curve, Pair t) {
    const Pair zero = splat(0.0), one = splat(1.0);
    Pair inside = one;  // b >= 1
    if (!(curve.b >= 1.0)) inside = curve.b <= 0.0 ? zero : t / ((one - t) * splat(curve.slope) + one);
    return pick(t <= zero, zero, pick(t >= one, one, inside));
}

// rimWrap lane by lane.
Pair rimOf(const Pair3& v, const Pair3& l, double rim) {
    const Pair r = dot(v, l) * splat(rim) * splat(oren_nayar::kRimScale);
    return pick(r >= splat(0.0), splat(0.0), r);
}

// The diffuse term of orenNayarDiffuseView; the mask of the lanes it lights.
Mask diffusePair(const PreparedResponse& prepared, const Pair3& l, double diffuseWeight, Pair3& rgb) {
    using namespace oren_nayar;
    const OrenNayarCoefficients& on = prepared.orenNayar;
    const DiffuseShaping& shaping = prepared.shaping;
    const DiffuseView& view = prepared.diffuse;
    const Pair3 nd = splat3(view.normal);
    const Pair zero = splat(0.0), one = splat(1.0);
    const Pair cv = splat(view.cosine);
    const Pair cl = dot(nd, l);
    const Pair r = shaping.rim == 0.0 ? zero : rimOf(splat3(view.view), l, shaping.rim);
    const Mask lit = cl > r;
    if (!anyLane(lit)) return lit;

    const Pair x = pick(r == zero, cl, (cl - r) / (one - r));
    const Pair s = biasOf(view.terminator, x);
    const double k = shaping.skinScattering;
    const Pair falloff = k == 0.0 ? s : s / (splat(1.0 - k) + (s + cv) * splat(k) * splat(kSkinSpread));
    const Vec3 colour = prepared.colour;

    if (on.a >= kSmoothLimit) {
        addWhere(lit, rgb, scaled(colour, falloff * splat(diffuseWeight)));
        return lit;
    }

    const Mask viewIsLow = cv <= s;
    const Pair clamped = clampTo(s, -1.0, 1.0);
    const Pair lightAngle = arc_cosine::of(clamped, squareRoot, absolute);
    const Pair lightSine = squareRoot(maxOf(0.0, one - s * s));
    const Pair viewAngle = splat(view.angle), viewSine = splat(view.sine), viewRatio = splat(view.angleOverSine);
    const Pair lightRatio = ((splat(0.155079166) * lightAngle - splat(0.333984969)) * lightAngle + splat(1.278379134)) /
                            (splat(1.279492778) - splat(0.3537883265) * lightAngle);
    const Pair lo = pick(viewIsLow, cv, s);
    const Pair hi = pick(viewIsLow, s, cv);
    const Pair alpha = pick(viewIsLow, viewAngle, lightAngle);
    const Pair beta = pick(viewIsLow, lightAngle, viewAngle);
    const Pair sinAlpha = pick(viewIsLow, viewSine, lightSine) + splat(kSinEpsilon);
    const Pair sinBeta = pick(viewIsLow, lightSine, viewSine);
    const Pair alphaOverSine = pick(viewIsLow, viewRatio, lightRatio);
    const Pair betaOverSine = pick(viewIsLow, lightRatio, viewRatio);
    const Pair p = dot(cross(l, nd), splat3(view.viewCrossNormal));

    Pair t2 = p * splat(on.b) / hi;
    t2 = pick(p < zero, t2 * (one - beta * beta * beta * splat(kEightOverPiCubed) / sinAlpha), t2);
    const Pair t3 = (sinBeta + sinAlpha) * splat(on.c) * beta * alpha / (lo + hi) *
                    (alpha * beta - absolute(p) * betaOverSine * alphaOverSine);
    const Pair l1 = splat(on.a) + t2 + t3;
    const Pair l2 = (one - (p / sinAlpha) * betaOverSine * beta * splat(kFourOverPiSquared)) * splat(on.d) *
                    splat(diffuseWeight);
    const Pair scale = falloff * splat(diffuseWeight);
    const Pair3 c = splat3(colour);
    addWhere(lit, rgb, Pair3{(c.x * l2 + l1) * c.x * scale, (c.y * l2 + l1) * c.y * scale, (c.z * l2 + l1) * c.z * scale});
    return lit;
}

// specularViewResponse of one layer; the mask of the lanes it lights.
Mask specularPair(const SpecularView& view, const Pair3& l, const Pair3& h, Pair rim, const BiasCurve& terminator,
                  Pair3& rgb) {
    const Pair zero = splat(0.0), one = splat(1.0);
    const Pair cl = dot(splat3(view.normal), l);
    const Pair x = pick(rim == zero, cl, (cl - rim) / (one - rim));
    const Mask lit = x > zero;
    const Pair3 nr = splat3(view.retroNormal);
    const Pair cosHalf = dot(nr, h);
    Mask shines = lit & (cosHalf > zero);
    if (!anyLane(shines)) return lit;

    Pair aniso = one;
    if (view.anisotropic) {
        const Pair p = dot(splat3(view.tangent), normalised(h - nr * cosHalf));
        const Pair e = splat(view.anisotropyRatio);
        aniso = e * p * p + (one - p * p) / e;
    }
    const Pair tanSquared = maxWith(one / (cosHalf * cosHalf) - one, kMinTanSquared);
    const Pair exponent = splat(view.sharpness) * tanSquared * aniso;
    Pair z = exponent;
    if (view.power != 1.0) {
        for (int i = 0; i < 2; ++i)
            if (lane(shines, i) && !(exponent[i] < 0.0)) z[i] = std::pow(exponent[i], view.power);
    }
    z = pick(exponent < zero, zero, z);
    shines &= z < splat(kLobeCutoff);
    Pair lobe = zero;
    for (int i = 0; i < 2; ++i)
        if (lane(shines, i)) lobe[i] = std::exp(-z[i]);
    addWhere(shines, rgb, scaled(view.colour, lobe * biasOf(terminator, x) * splat(view.scale)));
    return lit;
}

// sampleLight's arriving light for two points, in lanes; false when a point lies on the
// light itself, which the single path handles with its fallbacks.
struct ArrivingPair {
    Pair3 direction, colour, shadow;
    Pair distance;
};
bool arriving(const LightGeometry& light, Vec3 p, const double u[2], const double v[2], ArrivingPair& out) {
    const Pair pu{u[0], u[1]}, pv{v[0], v[1]};
    const Pair3 toLight{splat(light.origin.x) + splat(light.edgeU.x) * pu + splat(light.edgeV.x) * pv - splat(p.x),
                        splat(light.origin.y) + splat(light.edgeU.y) * pu + splat(light.edgeV.y) * pv - splat(p.y),
                        splat(light.origin.z) + splat(light.edgeU.z) * pu + splat(light.edgeV.z) * pv - splat(p.z)};
    const Pair len = squareRoot(dot(toLight, toLight));
    if (anyLane(len < splat(kMinLightDistance))) return false;
    const Pair3 direction = toLight / len;

    Pair k = splat(1.0);
    if (light.flags & kLightLimitedRange)
        k = k * pick(len < splat(light.range), splat(1.0) - len / splat(light.range), splat(0.0));
    if (light.falloff == kFalloffInverseDistance) {
        k = k * (splat(light.range) / (len + splat(light.minimumDistance)));
    } else if (light.falloff == kFalloffInverseDistanceSquared) {
        k = k * (splat(light.range * light.range) /
                 (len * len + splat(light.minimumDistance * light.minimumDistance)));
    }
    const Pair forwardDotL = dot(splat3(light.forward), direction);
    if (light.type == LightType::Area) k = k * absolute(forwardDotL);
    if (light.type == LightType::Linear) k = k * squareRoot(maxOf(0.0, splat(1.0) - forwardDotL * forwardDotL));
    out = {direction, scaled(light.colour, k), scaled(light.shadowColour, k), len};
    return true;
}

// respondToLight for two directions in lanes: the response to unit white light and the
// mask of the lit lanes.
Mask responding(const PreparedResponse& prepared, const Pair3& l, LightTerms terms, Pair3& rgb) {
    rgb = {splat(0.0), splat(0.0), splat(0.0)};
    Mask lit = allLanes(false);

    // Host-style translucency: light from behind the surface.
    const Pair cl = dot(splat3(prepared.diffuse.normal), l);
    if (!prepared.hostTranslucencyOff && prepared.translucency > 0.0) {
        const Mask behind = cl < splat(0.0);
        rgb = pick(behind, scaled(prepared.colour, splat(-prepared.translucency) * cl), rgb);
        lit |= behind;
    }
    lit |= diffusePair(prepared, l, terms.diffuse ? prepared.diffuseWeight : 0.0, rgb);

    if (prepared.layerCount > 0 && terms.specular) {
        const Pair3 v = splat3(prepared.view);
        const Pair3 h = normalised(v + l);
        const Pair rim = rimOf(v, l, prepared.rim);
        for (int i = 0; i < prepared.layerCount; ++i)
            lit |= specularPair(prepared.layers[i], l, h, rim, prepared.terminator, rgb);
    }
    return lit;
}

Pair3 times(const Pair3& a, const Pair3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

}  // namespace

void sampleLightPair(const LightGeometry& light, Vec3 p, const double u[2], const double v[2], LightSample out[2]) {
    ArrivingPair a;
    if (!arriving(light, p, u, v, a)) {
        for (int i = 0; i < 2; ++i) out[i] = sampleLight(light, p, u[i], v[i]);
        return;
    }
    for (int i = 0; i < 2; ++i) {
        out[i].direction = laneOf(a.direction, i);
        out[i].distance = a.distance[i];
        out[i].colour = laneOf(a.colour, i);
        out[i].shadowColour = laneOf(a.shadow, i);
    }
}

void respondToLightPair(const PreparedResponse& prepared, const Vec3 l[2], LightTerms terms, SurfaceResponse out[2]) {
    Pair3 rgb;
    const Mask lit = responding(prepared, pairOf(l), terms, rgb);
    for (int i = 0; i < 2; ++i) {
        out[i].rgb = laneOf(rgb, i);
        out[i].lit = lane(lit, i);
    }
}

void lightPointPair(const LightGeometry& light, Vec3 p, const PreparedResponse& prepared, LightTerms terms,
                    const double u[2], const double v[2], LightSampleValue out[2]) {
    ArrivingPair a;
    if (!arriving(light, p, u, v, a)) {
        for (int i = 0; i < 2; ++i) {
            const LightSample s = sampleLight(light, p, u[i], v[i]);
            const SurfaceResponse r = respondToLight(prepared, s.direction, terms);
            out[i] = {s.colour * r.rgb, s.shadowColour * r.rgb};
        }
        return;
    }
    Pair3 rgb;
    responding(prepared, a.direction, terms, rgb);
    const Pair3 lit = times(a.colour, rgb), shadow = times(a.shadow, rgb);
    for (int i = 0; i < 2; ++i) out[i] = {laneOf(lit, i), laneOf(shadow, i)};
}

}  // namespace orvik
