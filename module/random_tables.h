// The two tables of the shading random-number routine: a permutation of the
// 65,536 16-bit values and its inverse.
#pragma once

#include <cstdint>

namespace orvik {

inline constexpr int kRandomTableSize = 65536;
inline constexpr uint32_t kRandomPermutationSeed = 0x5EED2A17u;

// Builds both tables once (thread-safe); false when they cannot be allocated.
bool buildRandomTables();
// The tables, built on first use; never null after a successful build.
const uint16_t *randomPermutation();
const uint16_t *randomPermutationInverse();
// Frees both tables (process detach); they are built again on next use.
void freeRandomTables();

}  // namespace orvik
