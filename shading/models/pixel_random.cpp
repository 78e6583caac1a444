#include "shading/models/pixel_random.h"

namespace orvik {

namespace {
constexpr double kTwoToMinus32 = 2.3283064365386963e-10;
}  // namespace

// The 32-bit finaliser of MurmurHash3, Austin Appleby (2008): full avalanche in two
// multiply-xorshift rounds.
std::uint32_t seedHash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    x ^= x >> 16;
    return x;
}

std::uint32_t pixelSeed(std::uint32_t first, std::uint32_t second) { return seedHash(seedHash(first) + second); }

PixelRandom PixelRandom::forPixel(std::uint32_t sx, std::uint32_t sy, bool passKnown, std::uint32_t passCount) {
    PixelRandom r{pixelSeed(sy, sx)};
    if (passKnown) r.state += passCount * kPassStride;
    return r;
}

std::uint32_t SharedJitter::nextSeed() {
    std::uint32_t current = state_.load(std::memory_order_relaxed);
    std::uint32_t advanced;
    do {
        advanced = seedHash(current);
    } while (!state_.compare_exchange_weak(current, advanced, std::memory_order_relaxed));
    return advanced;
}

double SharedJitter::next() { return (nextSeed() + 0.5) * kTwoToMinus32; }

}  // namespace orvik
