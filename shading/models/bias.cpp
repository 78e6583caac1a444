#include "shading/models/bias.h"

namespace orvik {

double bias(double t, double b) {
    if (t <= 0.0) return 0.0;
    if (t >= 1.0) return 1.0;
    if (b >= 1.0) return 1.0;
    if (b <= 0.0) return 0.0;
    return t / ((1.0 - t) * (1.0 / b - 2.0) + 1.0);
}

}  // namespace orvik
