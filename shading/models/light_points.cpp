// Four-lane vectors pass between this file's own functions only, so the warning that
// their calling convention depends on AVX concerns no caller.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "shading/models/light_points.h"

#include <cmath>
#include <cstdint>

#include "shading/models/arc_cosine.h"
#include "shading/models/light_falloff.h"
#include "shading/models/oren_nayar.h"
#include "shading/models/specular_response.h"

namespace orvik {
namespace {

// Two lanes: every x86-64 processor has them.
namespace two {
constexpr int kLanes = 2;
#include "shading/models/light_points_lanes.inc"
}  // namespace two

#if defined(__x86_64__)
// Four lanes, for processors with AVX2 (without fused multiply-add, which would round
// differently from the single path).
#pragma GCC push_options
#pragma GCC target("avx2")
namespace four {
constexpr int kLanes = 4;
#include "shading/models/light_points_lanes.inc"
}  // namespace four
#pragma GCC pop_options
#else
namespace four = two;  // never taken: fourLightPointLanesAvailable() is false
#endif

bool useFour(LightPointLanes lanes) { return lanes != LightPointLanes::Two && fourLightPointLanesAvailable(); }

}  // namespace

bool fourLightPointLanesAvailable() {
#if defined(__x86_64__)
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
#else
    return false;
#endif
}

void sampleLightPoints(const LightGeometry& light, Vec3 p, const double u[kLightPointRow],
                       const double v[kLightPointRow], LightSample out[kLightPointRow], LightPointLanes lanes) {
    if (useFour(lanes)) return four::sampleRun(light, p, u, v, out);
    for (int i = 0; i < kLightPointRow; i += 2) two::sampleRun(light, p, u + i, v + i, out + i);
}

void respondToLightPoints(const PreparedResponse& prepared, const Vec3 l[kLightPointRow], LightTerms terms,
                          SurfaceResponse out[kLightPointRow], LightPointLanes lanes) {
    if (useFour(lanes)) return four::respondRun(prepared, l, terms, out);
    for (int i = 0; i < kLightPointRow; i += 2) two::respondRun(prepared, l + i, terms, out + i);
}

void shadeLightPoints(const LightGeometry& light, Vec3 p, const PreparedResponse& prepared, LightTerms terms,
                      const double u[kLightPointRow], const double v[kLightPointRow],
                      LightSampleValue out[kLightPointRow], LightPointLanes lanes) {
    if (useFour(lanes)) return four::shadeRun(light, p, prepared, terms, u, v, out);
    for (int i = 0; i < kLightPointRow; i += 2) two::shadeRun(light, p, prepared, terms, u + i, v + i, out + i);
}

}  // namespace orvik
