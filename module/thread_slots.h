// Per-thread slots and per-thread records of the render-time code.
//
// Every thread that enters the module takes a slot number 0..32 on its first
// call (the first free one; when all 33 are taken it gets 32 without marking
// anything) and gives it back when it ends. The slot number is what other
// code indexes per-slot tables with. The per-thread record, however, is
// owned by the thread itself, so threads beyond the 32nd, which share slot
// 32, still never share scratch state.
#pragma once

#include <cstdint>

namespace orvik {

inline constexpr int kThreadSlotCount = 33;
inline constexpr int kSharedThreadSlot = 32;

// Start values of the per-thread record.
inline constexpr double kStartMediumIndex = 1.0;
inline constexpr int kStartRayMode = 1;
inline constexpr int kStartLightPass = 0;
inline constexpr double kStartRayWeight = 1.0;
inline constexpr double kStartFrontLight = 0.0;
// First coordinate of the start ray start: 33736.373636, stored by its bits
// so that no sample's ray source matches it by accident.
inline constexpr uint64_t kStartRayStartXBits = 0x40E0790BF4D37C13ull;
inline constexpr uint32_t kStartRandomState = 0xF1234567u;
inline constexpr int kStartDepth = 1;

// What the module's own last call into the host was doing (rayMode).
enum RayMode : int {
  kRayModeCaustics = 3,
  kRayModeRadiosity = 4,
  kRayModeShadowQuery = 6,
  kRayModeThickness = 7,
  kRayModeOwnRay = 8,
  kRayModeColoredShadow = 9,
};

struct ThreadRecord {
  double mediumIndex;  // refractive index of the medium the current ray travels in
  int rayMode;         // RayMode, or 0/1 for rays the host traced itself
  int lightPass;       // 2 when translucent lighting is off, else 1
  double rayWeight;    // product of transparency and mirror fractions along the ray tree
  double frontLight;   // colorFL of the last light-path sample on this thread
  double rayStart[3];  // start of the module's last own ray
  uint32_t randomState;
  int depth;           // evaluate recursion depth

  void reset();
};

// Slot number of the calling thread (taken on its first call).
int threadSlot();

// The calling thread's private record. It is brought back to its start
// values on first use after every resetThreadRecords().
ThreadRecord &threadRecord();

// Resets every thread's record (lazily: each thread resets its own on its
// next access), so it is safe at any time; new time calls it.
void resetThreadRecords();

// Thread attach and detach. threadSlot() attaches on demand; a thread_local
// guard detaches when the thread ends. Exposed for the process attach step.
void attachThread();
void detachThread();

// Clears the slot table (process attach and detach).
void clearThreadSlots();

// Number of slots currently marked in use (for diagnostics and tests).
int threadSlotsInUse();

}  // namespace orvik
