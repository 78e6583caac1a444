#include "master/rolloff.h"

#include <cmath>

namespace orvik {

double rolloff(double x, double start, double rate) {
    if (start >= 1.0) return x < 1.0 ? x : 1.0;
    if (x <= start) return x;
    // A rate of zero or less is the limit of an ever sharper shoulder: a knee at start.
    if (!(rate > 0.0)) return 1.0;
    // Shoulder: y(s) = s, y'(s) = 1, y -> 1 as x grows; a = headroom above start.
    const double a = 1.0 - start;
    const double c = 1.0 / (a * rate);
    const double y = std::exp(-(x - start) * c) * ((start * c + 1.0 - c) * x + (a * start * c - 1.0)) + 1.0;
    return y < 1.0 ? y : 1.0;
}

}  // namespace orvik
