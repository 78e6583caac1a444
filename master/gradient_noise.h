// Three-dimensional gradient noise used by the film grain: zero at every
// integer lattice point, with a hashed gradient there, and tensor-product
// cubic Hermite interpolation in between.
#pragma once

#include <array>
#include <cstdint>

namespace orvik {

// A permutation of 0..255 built from a seed with two congruential sequences.
using NoiseByteTable = std::array<std::uint8_t, 256>;
NoiseByteTable makeNoiseByteTable(std::uint32_t seed);

// The tables the noise reads; built once, read-only afterwards.
struct NoiseTables {
    static constexpr int kByteTableCount = 12;
    static constexpr int kGradientCount = 768;
    // Tables 0..5 are x low, x high, y low, y high, z low, z high.
    std::array<NoiseByteTable, kByteTableCount> bytes;
    // 256 gradients inside the ball of radius kGradientScale, repeated three times.
    std::array<std::array<double, 3>, kGradientCount> gradients;
};

// The module's tables (seeds 9934 + 3727 k, gradient seed 1234), built on first use.
const NoiseTables& noiseTables();

// Lattice hash of one axis coordinate: (low[i mod 256] + high[(i div 256) mod 256]) mod 256,
// on the low 16 bits of i.
int noiseAxisHash(const NoiseByteTable& low, const NoiseByteTable& high, std::int64_t i);

// N(x, y, z) with the module's tables.
double gradientNoise(double x, double y, double z);
// N(x, y, z) with the given tables.
double gradientNoise(const NoiseTables& tables, double x, double y, double z);

}  // namespace orvik
