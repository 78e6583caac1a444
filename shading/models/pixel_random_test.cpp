#include "shading/models/pixel_random.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace orvik {
namespace {

TEST(PixelRandom, LinearCongruentialSequence) {
    PixelRandom r{0};
    // state 1013904223 = 0x3C6EF35F; its low 23 bits over 2^23.
    EXPECT_FLOAT_EQ(r.next(), 0x6EF35F / 8388608.0f);
    EXPECT_EQ(r.state, 1013904223u);
    EXPECT_FLOAT_EQ(r.next(), ((1013904223u * 1664525u + 1013904223u) & 0x7FFFFFu) / 8388608.0f);
    for (int i = 0; i < 10000; ++i) {
        const float x = r.next();
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
    }
}

TEST(PixelRandom, NeighbouringPixelsStartApart) {
    std::set<std::uint32_t> seeds;
    for (std::uint32_t y = 0; y < 128; ++y) {
        for (std::uint32_t x = 0; x < 128; ++x) seeds.insert(PixelRandom::forPixel(x, y, false, 0).state);
    }
    EXPECT_EQ(seeds.size(), 128u * 128u);
    // Each antialiasing pass starts elsewhere.
    EXPECT_NE(PixelRandom::forPixel(5, 7, true, 1).state, PixelRandom::forPixel(5, 7, true, 2).state);
    EXPECT_EQ(PixelRandom::forPixel(5, 7, true, 0).state, PixelRandom::forPixel(5, 7, false, 0).state);
}

TEST(SharedJitter, ThreadsNeverLoseOrRepeatADraw) {
    SharedJitter jitter;
    constexpr int kThreads = 4, kDraws = 5000;
    std::vector<std::vector<double>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kDraws; ++i) drawn[t].push_back(jitter.next());
        });
    }
    for (auto& th : threads) th.join();
    std::set<double> all;
    for (const auto& d : drawn) {
        for (double x : d) {
            ASSERT_GT(x, 0.0);
            ASSERT_LT(x, 1.0);
            all.insert(x);
        }
    }
    EXPECT_EQ(all.size(), std::size_t(kThreads * kDraws));
}

}  // namespace
}  // namespace orvik
