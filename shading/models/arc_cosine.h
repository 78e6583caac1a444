#pragma once

#include <cmath>

namespace orvik {

// The arc cosine of the rough diffuse term, within one unit in the last place of the
// C library's. The term takes one for every light point; written once for a plain
// double and for a vector of doubles (whose comparisons give lane masks and whose
// ternaries pick lane by lane), so that a light point shaded alone and one shaded in a
// lane of a pair get the same bits.
//
// asin(s) = s + s z R(z), z = s^2, with R a degree-12 polynomial good on z in [0, 1/4]
// (scripts/arc_cosine_series.py derives it); acos(x) = pi/2 - asin(x) for |x| <= 1/2,
// else 2 asin(sqrt((1 - |x|) / 2)), reflected about pi/2 for negative x.
namespace arc_cosine {

inline constexpr double kSeries[13] = {
    0.16666666666666669,   0.0749999999999834,   0.04464285714653523,  0.03038194412500875,
    0.022372173467043486,  0.017352380709839098, 0.01397138708310213,  0.011477517005507167,
    0.01033337215296726,   0.00541318448371551,  0.017518833979538666, -0.015032162599250309,
    0.02887836274645239};
// pi / 2 and pi, each as a double and the remainder it leaves.
inline constexpr double kHalfPi = 1.5707963267948966, kHalfPiRest = 6.123233995736766e-17;
inline constexpr double kPi = 3.141592653589793, kPiRest = 1.2246467991473532e-16;

// R(z), by Estrin's scheme: short chains instead of one of twelve steps.
template <class T>
[[gnu::always_inline]] inline T series(T z) {
    const double* c = kSeries;
    const T z2 = z * z, z4 = z2 * z2, z8 = z4 * z4;
    const T low = (c[0] + c[1] * z) + z2 * (c[2] + c[3] * z) + z4 * ((c[4] + c[5] * z) + z2 * (c[6] + c[7] * z));
    const T high = ((c[8] + c[9] * z) + z2 * (c[10] + c[11] * z)) + z4 * c[12];
    return low + z8 * high;
}

// acos(x) for x in [-1, 1]; root and magnitude are the square root and the absolute
// value for T.
// Always inlined, so that it takes on the instruction set of its caller.
template <class T, class Root, class Magnitude>
[[gnu::always_inline]] inline T of(T x, Root root, Magnitude magnitude) {
    const T a = magnitude(x);
    const auto near = a <= 0.5;
    const T z = near ? x * x : (1.0 - a) * 0.5;
    const T r = series(z);
    // Near 0: pi/2 - asin(x), the small remainder of pi/2 taken first.
    const T centre = kHalfPi - (x - (kHalfPiRest - x * z * r));
    // Near +-1: 2 asin(s), or pi - 2 asin(s) for negative x.
    const T s = root(z);
    const T w = s * z * r;
    const T ends = x > 0.0 ? 2.0 * (s + w) : kPi - 2.0 * (s + w - 0.5 * kPiRest);
    return near ? centre : ends;
}

}  // namespace arc_cosine

inline double arcCosine(double x) {
    return arc_cosine::of(x, [](double v) { return std::sqrt(v); }, [](double v) { return std::fabs(v); });
}

}  // namespace orvik
