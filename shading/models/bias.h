#pragma once

namespace orvik {

// Schlick's bias curve, "Fast Alternatives to Perlin's Bias and Gain Functions",
// Christophe Schlick, Graphics Gems IV (1994), in its rational form, with clamps:
// 0 for t <= 0 or b <= 0, 1 for t >= 1 or b >= 1. bias(t, 0.5) = t.
double bias(double t, double b);

}  // namespace orvik
