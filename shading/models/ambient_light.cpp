#include "shading/models/ambient_light.h"

#include <cmath>

namespace orvik {

namespace {
constexpr double kContrastScale = 1.98;
constexpr double kContrastFloor = 0.01;
}  // namespace

Vec3 ambientGradient(double y, Vec3 top, Vec3 middle, Vec3 bottom) {
    double s;
    Vec3 end;
    if (y >= 0.0) {
        s = (3.0 - 2.0 * y) * y * y;
        end = top;
    } else {
        s = (3.0 + 2.0 * y) * y * y;
        end = bottom;
    }
    return (end * s + middle * (1.0 - s)) / 255.0;
}

double globalIlluminationScale(double weight, double m, double contrast) {
    if (m <= 0.0) return weight;
    return (weight / m) * std::pow(2.0 * m, kContrastScale * contrast + kContrastFloor) * 0.5;
}

}  // namespace orvik
