#pragma once

namespace orvik {

// The host's glossiness and roughness channels are two views of one value:
// glossiness g = -log2(roughness) / 10 - 0.199999, roughness = 2^(-10 (g + 0.199999)).
// The roughness is kept within 1e-8 .. 9999999 before the logarithm.
double glossinessFromRoughness(double roughness);
double roughnessFromGlossiness(double glossiness);

// The glossiness the specular layers shape: 0.97 of the channel value, within 1e-5 .. 0.9999.
double specularGlossiness(double roughness);

}  // namespace orvik
