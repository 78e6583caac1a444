#include "module/thread_slots.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <set>
#include <thread>
#include <vector>

namespace orvik {
namespace {

TEST(ThreadSlots, ThreadsBeyondTheSlotsShareSlot32ButNotTheirRecords) {
  constexpr int kThreads = 34;
  const int inUseBefore = threadSlotsInUse();
  std::barrier allAttached(kThreads);
  std::barrier allWritten(kThreads);
  std::vector<int> slots(kThreads, -1);
  std::vector<ThreadRecord *> records(kThreads, nullptr);
  std::vector<double> seenWeight(kThreads, 0.0);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      slots[i] = threadSlot();
      allAttached.arrive_and_wait();
      ThreadRecord &record = threadRecord();
      records[i] = &record;
      record.rayWeight = 100.0 + i;
      allWritten.arrive_and_wait();
      seenWeight[i] = threadRecord().rayWeight;
    });
  }
  for (auto &t : threads) t.join();

  // Slots taken while others were free are distinct; the rest got 32.
  const int freeSlots = kThreadSlotCount - inUseBefore;
  std::multiset<int> taken(slots.begin(), slots.end());
  EXPECT_GE(static_cast<int>(taken.count(kSharedThreadSlot)), kThreads - freeSlots + 1);
  for (int s : taken) {
    EXPECT_GE(s, 0);
    EXPECT_LE(s, kSharedThreadSlot);
    if (s != kSharedThreadSlot) {
      EXPECT_EQ(taken.count(s), 1u) << "slot " << s << " given twice";
    }
  }
  // Every thread kept its own scratch state.
  EXPECT_EQ(std::set<ThreadRecord *>(records.begin(), records.end()).size(), size_t{kThreads});
  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(seenWeight[i], 100.0 + i);
  // Ending threads gave their slots back.
  EXPECT_EQ(threadSlotsInUse(), inUseBefore);
}

TEST(ThreadSlots, FreedSlotIsTakenAgain) {
  int first = -1, second = -1;
  std::thread([&] { first = threadSlot(); }).join();
  std::thread([&] { second = threadSlot(); }).join();
  EXPECT_EQ(first, second);
  EXPECT_NE(first, kSharedThreadSlot);
}

TEST(ThreadRecords, ResetRestoresTheStartValuesOnEveryThread) {
  ThreadRecord &mine = threadRecord();
  mine.rayMode = kRayModeOwnRay;
  mine.depth = 7;
  mine.mediumIndex = 1.5;
  std::atomic<bool> written{false}, go{false};
  int otherRayMode = -1;
  std::thread other([&] {
    threadRecord().rayMode = kRayModeThickness;
    written = true;
    while (!go.load()) std::this_thread::yield();
    otherRayMode = threadRecord().rayMode;
  });
  while (!written.load()) std::this_thread::yield();
  resetThreadRecords();
  go = true;
  other.join();
  EXPECT_EQ(otherRayMode, kStartRayMode);

  const ThreadRecord &reset = threadRecord();
  EXPECT_EQ(reset.rayMode, 1);
  EXPECT_EQ(reset.depth, 1);
  EXPECT_EQ(reset.lightPass, 0);
  EXPECT_EQ(reset.mediumIndex, 1.0);
  EXPECT_EQ(reset.rayWeight, 1.0);
  EXPECT_EQ(reset.frontLight, 0.0);
  EXPECT_EQ(reset.randomState, 0xF1234567u);
  EXPECT_NEAR(reset.rayStart[0], 33736.373636, 1e-6);
  EXPECT_EQ(reset.rayStart[1], 0.0);
  EXPECT_EQ(reset.rayStart[2], 0.0);
}

}  // namespace
}  // namespace orvik
