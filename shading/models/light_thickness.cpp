#include "shading/models/light_thickness.h"

namespace orvik {

namespace {
constexpr double kDistantReachScale = 30.0;
constexpr double kDistantReachBase = 10.0;
constexpr double kFarthestHit = 999999.9;
}  // namespace

ThicknessCast thicknessCastStart(Vec3 p, Vec3 l, bool distant, Vec3 lightCentre, double falloffDistance) {
    if (distant) {
        const double reach = falloffDistance * kDistantReachScale + kDistantReachBase;
        return {p + l * reach, reach};
    }
    return {lightCentre, length(lightCentre - p)};
}

double thicknessFromCast(double distance, double hit) {
    if (hit >= 0.0 && hit <= kFarthestHit && distance - hit > 0.0) return distance - hit;
    return kNoThickness;
}

}  // namespace orvik
