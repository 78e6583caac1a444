#include "module/thread_slots.h"

#include <atomic>
#include <bit>

namespace orvik {
namespace {

std::atomic<bool> g_slotInUse[kThreadSlotCount];
// Bumped by clearThreadSlots, so that a thread whose slot was cleared under
// it does not free a slot that another thread has taken since.
std::atomic<uint32_t> g_slotEpoch{1};
// Bumped by resetThreadRecords; a record older than this is reset on access.
std::atomic<uint64_t> g_recordGeneration{1};

struct ThreadState {
  int slot = -1;
  bool marked = false;
  uint32_t epoch = 0;
  uint64_t generation = 0;
  ThreadRecord record{};

  ~ThreadState() { release(); }

  void release() {
    if (marked && epoch == g_slotEpoch.load(std::memory_order_acquire))
      g_slotInUse[slot].store(false, std::memory_order_release);
    marked = false;
    slot = -1;
  }
};

thread_local ThreadState t_state;

}  // namespace

void ThreadRecord::reset() {
  mediumIndex = kStartMediumIndex;
  rayMode = kStartRayMode;
  lightPass = kStartLightPass;
  rayWeight = kStartRayWeight;
  frontLight = kStartFrontLight;
  rayStart[0] = std::bit_cast<double>(kStartRayStartXBits);
  rayStart[1] = 0.0;
  rayStart[2] = 0.0;
  randomState = kStartRandomState;
  depth = kStartDepth;
}

void attachThread() {
  ThreadState &state = t_state;
  if (state.slot >= 0) return;
  state.epoch = g_slotEpoch.load(std::memory_order_acquire);
  for (int i = 0; i < kThreadSlotCount; ++i) {
    bool expected = false;
    if (g_slotInUse[i].compare_exchange_strong(expected, true, std::memory_order_acq_rel)) {
      state.slot = i;
      state.marked = true;
      return;
    }
  }
  // All taken: share the last slot without marking it.
  state.slot = kSharedThreadSlot;
  state.marked = false;
}

void detachThread() { t_state.release(); }

int threadSlot() {
  if (t_state.slot < 0) attachThread();
  return t_state.slot;
}

ThreadRecord &threadRecord() {
  ThreadState &state = t_state;
  if (state.slot < 0) attachThread();
  const uint64_t generation = g_recordGeneration.load(std::memory_order_acquire);
  if (state.generation != generation) {
    state.record.reset();
    state.generation = generation;
  }
  return state.record;
}

void resetThreadRecords() { g_recordGeneration.fetch_add(1, std::memory_order_acq_rel); }

void clearThreadSlots() {
  g_slotEpoch.fetch_add(1, std::memory_order_acq_rel);
  for (auto &flag : g_slotInUse) flag.store(false, std::memory_order_release);
}

int threadSlotsInUse() {
  int n = 0;
  for (auto &flag : g_slotInUse) n += flag.load(std::memory_order_acquire) ? 1 : 0;
  return n;
}

}  // namespace orvik
