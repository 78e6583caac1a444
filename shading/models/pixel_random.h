#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace orvik {

// Scrambles a 32-bit seed so that neighbouring pixels start far apart.
std::uint32_t seedHash(std::uint32_t x);

// Seed of a pixel: the first coordinate hashed, the second added, hashed again.
std::uint32_t pixelSeed(std::uint32_t first, std::uint32_t second);

// The per-pixel random generator: a 32-bit linear congruential sequence. Each draw
// advances the state and returns a float in [0, 1) built from its low 23 bits.
struct PixelRandom {
    static constexpr std::uint32_t kMultiplier = 1664525u;
    static constexpr std::uint32_t kIncrement = 1013904223u;
    // Added per antialiasing pass (times the pass count) so every pass draws afresh.
    static constexpr std::uint32_t kPassStride = 8172161u;

    std::uint32_t state = 0;

    // Seeded from a pixel (sy first, then sx) and, when a pixel filter runs, its pass count.
    static PixelRandom forPixel(std::uint32_t sx, std::uint32_t sy, bool passKnown, std::uint32_t passCount);

    // Inline: the soft-shadow ray loop draws two per ray.
    float next() {
        state = state * kMultiplier + kIncrement;
        return std::bit_cast<float>((state & kMantissaMask) | kExponentOfOne) - 1.0f;
    }

private:
    static constexpr std::uint32_t kMantissaMask = 0x007FFFFFu;
    static constexpr std::uint32_t kExponentOfOne = 0x3F800000u;
};

// A module-wide generator shared by threads: each draw hashes the state. It serves the
// environment-blur jitter (started at kInitialState) and, started at kRecomposeState, the
// soft-reflection seeds and offsets of re-shaded previews. The state advances by
// compare-and-swap, so concurrent draws neither race nor lose a step.
class SharedJitter {
public:
    static constexpr std::uint32_t kInitialState = 12345u;
    static constexpr std::uint32_t kRecomposeState = 12345679u;  // 0xBC614F
    explicit SharedJitter(std::uint32_t seed = kInitialState) : state_(seed) {}
    // (state + 0.5) / 2^32 of the advanced state: a value in (0, 1).
    double next();
    // The advanced state itself, as a seed.
    std::uint32_t nextSeed();
    void reset(std::uint32_t seed = kInitialState) { state_.store(seed, std::memory_order_relaxed); }

private:
    std::atomic<std::uint32_t> state_;
};

}  // namespace orvik
