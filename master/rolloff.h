// Gamut roll-off curve: identity up to a start intensity, then an
// exponential shoulder that meets the identity with slope 1 and approaches 1.
#pragma once

namespace orvik {

// rolloff(x, start, rate): the curve drawn by the gamut graph and applied per
// channel by the gamut roll-off. A start at or above 1 is a hard clip at 1.
double rolloff(double x, double start, double rate);

}  // namespace orvik
