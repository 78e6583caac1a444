#include "module/random_tables.h"

#include <atomic>
#include <mutex>
#include <new>
#include <utility>

namespace orvik {
namespace {

// The full-period 16-bit linear congruential step that fills the table
// (multiplier = 1 mod 4, odd increment: every value appears exactly once).
constexpr uint32_t kFillMultiplier = 1664525u;
constexpr uint32_t kFillIncrement = 1013904223u;
// The second sequence, which picks the swap partners.
constexpr uint32_t kSwapMultiplier = 22695477u;
constexpr uint32_t kSwapIncrement = 1u;

std::mutex g_buildMutex;
// Published with release stores so that render threads read them lock-free.
std::atomic<uint16_t *> g_permutation{nullptr};
std::atomic<uint16_t *> g_inverse{nullptr};

bool buildLocked() {
  if (g_permutation.load(std::memory_order_acquire)) return true;
  auto *permutation = new (std::nothrow) uint16_t[kRandomTableSize];
  auto *inverse = new (std::nothrow) uint16_t[kRandomTableSize];
  if (!permutation || !inverse) {
    delete[] permutation;
    delete[] inverse;
    return false;
  }
  uint32_t x = kRandomPermutationSeed & 0xFFFFu;
  for (int i = 0; i < kRandomTableSize; ++i) {
    x = (x * kFillMultiplier + kFillIncrement) & 0xFFFFu;
    permutation[i] = static_cast<uint16_t>(x);
  }
  uint32_t s = kRandomPermutationSeed;
  for (int i = 0; i < kRandomTableSize; ++i) {
    s = s * kSwapMultiplier + kSwapIncrement;
    std::swap(permutation[i], permutation[s >> 16]);
  }
  for (int i = 0; i < kRandomTableSize; ++i) inverse[permutation[i]] = static_cast<uint16_t>(i);
  g_inverse.store(inverse, std::memory_order_release);
  g_permutation.store(permutation, std::memory_order_release);
  return true;
}

}  // namespace

bool buildRandomTables() {
  if (g_permutation.load(std::memory_order_acquire)) return true;
  std::lock_guard<std::mutex> lock(g_buildMutex);
  return buildLocked();
}

const uint16_t *randomPermutation() {
  if (!buildRandomTables()) return nullptr;
  return g_permutation.load(std::memory_order_acquire);
}

const uint16_t *randomPermutationInverse() {
  if (!buildRandomTables()) return nullptr;
  return g_inverse.load(std::memory_order_acquire);
}

void freeRandomTables() {
  std::lock_guard<std::mutex> lock(g_buildMutex);
  delete[] g_permutation.exchange(nullptr, std::memory_order_acq_rel);
  delete[] g_inverse.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace orvik
