#pragma once

namespace orvik {

// Schlick's bias curve, "Fast Alternatives to Perlin's Bias and Gain Functions",
// Christophe Schlick, Graphics Gems IV (1994), in its rational form, with clamps:
// 0 for t <= 0 or b <= 0, 1 for t >= 1 or b >= 1. bias(t, 0.5) = t.
// Inline: the lighting loops call it for every light point.
inline double bias(double t, double b) {
    if (t <= 0.0) return 0.0;
    if (t >= 1.0) return 1.0;
    if (b >= 1.0) return 1.0;
    if (b <= 0.0) return 0.0;
    return t / ((1.0 - t) * (1.0 / b - 2.0) + 1.0);
}

// bias(t, b) for one b and many t: the division by b is made once.
struct BiasCurve {
    double b = 0.5;
    double slope = 0.0;  // 1 / b - 2

    BiasCurve() = default;
    explicit BiasCurve(double parameter) : b(parameter), slope(1.0 / parameter - 2.0) {}
    double operator()(double t) const {
        if (t <= 0.0) return 0.0;
        if (t >= 1.0) return 1.0;
        if (b >= 1.0) return 1.0;
        if (b <= 0.0) return 0.0;
        return t / ((1.0 - t) * slope + 1.0);
    }
};

}  // namespace orvik
