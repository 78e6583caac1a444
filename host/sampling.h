// Sample patterns and random numbers of the renderer. Everything here is a
// pure function of its inputs, so that an image does not depend on how its
// pixels were spread over threads.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace orvik::host {

using Sample2 = std::array<double, 2>;
using Dir3 = std::array<double, 3>;

// A 32-bit mixing hash (good avalanche; used to derive independent seeds).
uint32_t hashMix(uint32_t value);
uint32_t hashCombine(uint32_t seed, uint32_t value);

// Seed of one pixel of one frame of a render with the given seed.
uint32_t pixelSeed(int x, int y, int frame, uint32_t renderSeed);

// Small deterministic generator (32-bit state, xorshift-multiply output).
class SampleRandom {
 public:
  explicit SampleRandom(uint32_t seed) : state_(hashMix(seed) | 1u) {}
  uint32_t nextBits();
  // Uniform in [0, 1).
  double next();

 private:
  uint32_t state_;
};

// Sub-pixel offsets in [0, 1)^2, one per antialiasing pass. The square is
// split into at least `count` cells of a near-square grid, the passes take
// distinct cells in an order shuffled by `seed`, and each offset is
// jittered inside its cell. A single pass samples the pixel centre.
std::vector<Sample2> jitteredPattern(int count, uint32_t seed);

// Orthonormal tangents (t, b) of a unit normal n.
void orthonormalBasis(const Dir3& n, Dir3& t, Dir3& b);

// Cosine-weighted direction on the hemisphere around the unit normal n
// for two uniform numbers in [0, 1).
Dir3 cosineHemisphere(const Dir3& n, double u1, double u2);

}  // namespace orvik::host
