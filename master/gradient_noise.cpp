#include "master/gradient_noise.h"

#include <cmath>
#include <utility>

namespace orvik {

namespace {

constexpr std::uint32_t kLcgMultiplier = 1664525u;
constexpr std::uint32_t kLcgIncrement = 1013904223u;
constexpr std::uint32_t kShuffleMultiplier = 9301u;
constexpr std::uint32_t kShuffleIncrement = 49297u;
constexpr std::uint32_t kShuffleModulus = 233280u;

constexpr std::uint32_t kByteTableSeed = 9934u;
constexpr std::uint32_t kByteTableSeedStep = 3727u;
constexpr std::uint32_t kGradientSeed = 1234u;
constexpr double kGradientScale = 12.43105;
constexpr int kDistinctGradients = 256;

// Uniform numbers in [-1, 1] from a 32-bit linear congruential sequence.
class UniformSequence {
public:
    explicit UniformSequence(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * kLcgMultiplier + kLcgIncrement;
        return static_cast<double>(state_) / 4294967295.0 * 2.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

NoiseTables buildTables() {
    NoiseTables t{};
    for (int k = 0; k < NoiseTables::kByteTableCount; ++k)
        t.bytes[k] = makeNoiseByteTable(kByteTableSeed + kByteTableSeedStep * static_cast<std::uint32_t>(k));

    UniformSequence uniform(kGradientSeed);
    for (int n = 0; n < kDistinctGradients; ++n) {
        double g[3];
        do {
            g[0] = uniform.next();
            g[1] = uniform.next();
            g[2] = uniform.next();
        } while (g[0] * g[0] + g[1] * g[1] + g[2] * g[2] > 1.0);
        for (int copy = 0; copy < NoiseTables::kGradientCount / kDistinctGradients; ++copy)
            t.gradients[n + copy * kDistinctGradients] = {g[0] * kGradientScale, g[1] * kGradientScale,
                                                         g[2] * kGradientScale};
    }
    return t;
}

// Hermite basis along one axis for fraction t: value weights of the low and
// high corner, and tangent weights (zero at both ends, slope 1 at their own corner).
struct AxisWeights {
    double value[2];
    double tangent[2];
};

AxisWeights axisWeights(double t) {
    const double high = t * t * (3.0 - 2.0 * t);
    return {{1.0 - high, high}, {(t * t - 2.0 * t + 1.0) * t, (t - 1.0) * t * t}};
}

}  // namespace

NoiseByteTable makeNoiseByteTable(std::uint32_t seed) {
    NoiseByteTable table;
    for (int p = 0; p < 256; ++p) table[p] = static_cast<std::uint8_t>(p);
    std::uint32_t s = seed * kLcgMultiplier + kLcgIncrement;
    for (int p = 0; p < 256; ++p) {
        s = s * kLcgMultiplier + kLcgIncrement;
        std::swap(table[p], table[(s >> 21) % 256]);
    }
    for (int p = 0; p < 256; ++p) {
        s = (s * kShuffleMultiplier + kShuffleIncrement) % kShuffleModulus;
        std::swap(table[p], table[(s >> 7) % 256]);
    }
    return table;
}

const NoiseTables& noiseTables() {
    static const NoiseTables tables = buildTables();
    return tables;
}

int noiseAxisHash(const NoiseByteTable& low, const NoiseByteTable& high, std::int64_t i) {
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(i) & 0xFFFFu);
    return (low[bits & 0xFFu] + high[(bits >> 8) & 0xFFu]) & 0xFF;
}

double gradientNoise(double x, double y, double z) { return gradientNoise(noiseTables(), x, y, z); }

double gradientNoise(const NoiseTables& tables, double x, double y, double z) {
    const double coord[3] = {x, y, z};
    std::int64_t cell[3];
    AxisWeights w[3];
    int hash[3][2];
    for (int a = 0; a < 3; ++a) {
        const double f = std::floor(coord[a]);
        // Coordinates beyond the 64-bit range carry no fraction; only the low 16 bits hash.
        cell[a] = std::fabs(f) < 9.0e18 ? static_cast<std::int64_t>(f) : 0;
        w[a] = axisWeights(coord[a] - f);
        for (int side = 0; side < 2; ++side)
            hash[a][side] = noiseAxisHash(tables.bytes[2 * a], tables.bytes[2 * a + 1], cell[a] + side);
    }

    double sum = 0.0;
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy)
            for (int cz = 0; cz < 2; ++cz) {
                const auto& g = tables.gradients[hash[0][cx] + hash[1][cy] + hash[2][cz]];
                sum += g[0] * w[0].tangent[cx] * w[1].value[cy] * w[2].value[cz] +
                       g[1] * w[0].value[cx] * w[1].tangent[cy] * w[2].value[cz] +
                       g[2] * w[0].value[cx] * w[1].value[cy] * w[2].tangent[cz];
            }
    return sum;
}

}  // namespace orvik
