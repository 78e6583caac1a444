// Creating a surface when memory runs out at any record's allocation: either
// the instance is whole, or creation fails with its message and leaves
// nothing behind (the sanitizer build checks for leaks). The records are
// allocated without exceptions; those allocations are the ones made to fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "module/registry.h"
#include "shading/surface_handler.h"
#include "shading/surface_instance.h"
#include "shading/surface_lifecycle.h"

namespace {

// Allocations left before one fails; negative: none fails.
std::atomic<long> gAllocationsBeforeFailure{-1};
std::atomic<long> gAllocationsSeen{0};

bool failThisAllocation() {
  gAllocationsSeen.fetch_add(1, std::memory_order_relaxed);
  long left = gAllocationsBeforeFailure.load(std::memory_order_relaxed);
  if (left < 0) return false;
  gAllocationsBeforeFailure.store(left - 1, std::memory_order_relaxed);
  return left == 0;
}

}  // namespace

// The replacements pair malloc with free themselves; the compiler cannot see
// that the two sides match.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  gAllocationsSeen.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (failThisAllocation()) return nullptr;
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace orvik {
namespace {

TEST(SurfaceCreation, RunningOutOfMemoryAnywhereFailsCleanly) {
  setSurfaceHooks(SurfaceHooks{});
  // Count the allocations of one creation.
  gAllocationsSeen = 0;
  ::HostError error = nullptr;
  HostInstance whole = surfaceHandlerCreate(nullptr, reinterpret_cast<void*>(0xA00), &error);
  const long allocations = gAllocationsSeen.load();
  ASSERT_NE(whole, nullptr);
  surfaceHandlerDestroy(whole);
  ASSERT_GT(allocations, kSurfaceSettingCount);

  int failures = 0;
  for (long n = 0; n < allocations; ++n) {
    error = nullptr;
    gAllocationsBeforeFailure = n;
    HostInstance inst = surfaceHandlerCreate(nullptr, reinterpret_cast<void*>(0xA00), &error);
    gAllocationsBeforeFailure = -1;
    if (inst) {
      // A surface that was made is whole.
      EXPECT_EQ(error, nullptr);
      auto* s = static_cast<SurfaceInstance*>(inst);
      for (int i = 0; i < kSurfaceSettingCount; ++i) EXPECT_NE(s->control(i), nullptr) << "allocation " << n;
      EXPECT_TRUE(s->isOn("GLOBOOST")) << "allocation " << n;
      surfaceHandlerDestroy(inst);
    } else {
      ++failures;
      EXPECT_STREQ(error, "Error Creating GUI.. Need more RAM?") << "allocation " << n;
      EXPECT_EQ(registry().surfaces.load(), nullptr);
    }
  }
  EXPECT_GT(failures, 0);
  EXPECT_EQ(registry().surfaces.load(), nullptr);
}

}  // namespace
}  // namespace orvik
