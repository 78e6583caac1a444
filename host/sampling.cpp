#include "host/sampling.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvik::host {

uint32_t hashMix(uint32_t x) {
  // Finaliser of a well-known 32-bit integer hash (two multiply-xorshift rounds).
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

uint32_t hashCombine(uint32_t seed, uint32_t value) {
  return hashMix(seed ^ (value + 0x9e3779b9U + (seed << 6) + (seed >> 2)));
}

uint32_t pixelSeed(int x, int y, int frame, uint32_t renderSeed) {
  uint32_t h = hashMix(renderSeed);
  h = hashCombine(h, static_cast<uint32_t>(x));
  h = hashCombine(h, static_cast<uint32_t>(y));
  return hashCombine(h, static_cast<uint32_t>(frame));
}

uint32_t SampleRandom::nextBits() {
  // xorshift32 state step, mixed on output.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return hashMix(state_);
}

double SampleRandom::next() { return (nextBits() >> 8) * (1.0 / 16777216.0); }

std::vector<Sample2> jitteredPattern(int count, uint32_t seed) {
  std::vector<Sample2> out;
  if (count <= 0) return out;
  if (count == 1) {
    out.push_back({0.5, 0.5});
    return out;
  }
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  const int rows = (count + columns - 1) / columns;
  std::vector<int> cells(static_cast<size_t>(columns * rows));
  for (size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<int>(i);
  SampleRandom random(seed);
  // Fisher-Yates shuffle of the cells, then one jittered point per pass.
  for (size_t i = cells.size() - 1; i > 0; --i) {
    const size_t j = random.nextBits() % (i + 1);
    std::swap(cells[i], cells[j]);
  }
  for (int pass = 0; pass < count; ++pass) {
    const int cell = cells[static_cast<size_t>(pass)];
    const double x = (cell % columns + random.next()) / columns;
    const double y = (cell / columns + random.next()) / rows;
    out.push_back({std::min(x, std::nextafter(1.0, 0.0)), std::min(y, std::nextafter(1.0, 0.0))});
  }
  return out;
}

void orthonormalBasis(const Dir3& n, Dir3& t, Dir3& b) {
  // Branch-free basis from the sign of z.
  const double sign = std::copysign(1.0, n[2]);
  const double a = -1.0 / (sign + n[2]);
  const double c = n[0] * n[1] * a;
  t = {1.0 + sign * n[0] * n[0] * a, sign * c, -sign * n[0]};
  b = {c, sign + n[1] * n[1] * a, -n[1]};
}

Dir3 cosineHemisphere(const Dir3& n, double u1, double u2) {
  const double r = std::sqrt(u1);
  const double phi = 2.0 * std::numbers::pi * u2;
  const double x = r * std::cos(phi), y = r * std::sin(phi);
  const double z = std::sqrt(std::max(0.0, 1.0 - u1));
  Dir3 t, b;
  orthonormalBasis(n, t, b);
  return {x * t[0] + y * b[0] + z * n[0], x * t[1] + y * b[1] + z * n[1],
          x * t[2] + y * b[2] + z * n[2]};
}

}  // namespace orvik::host
