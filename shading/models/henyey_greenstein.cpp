#include "shading/models/henyey_greenstein.h"

#include <cmath>

namespace orvik {

namespace {
constexpr double kInvFourPi = 0.07957747154594767;  // 1 / (4 pi)
}  // namespace

double henyeyGreenstein(double c, double g) {
    const double denom = 1.0 + g * g - 2.0 * g * c;
    return (1.0 - g * g) / (denom * std::sqrt(denom)) * kInvFourPi;
}

}  // namespace orvik
