// A plain value field that two threads may read and write without a lock.
//
// Control records are read and written by the host's thread (values, save
// and load) and by the panel's thread (events, drawing, idle work), and the
// render threads read setting values while a panel edits them. Every such
// scalar field is a relaxed atomic so that this is well defined; the wrapper
// keeps the record's fields usable like the plain fields they stand for.
#pragma once

#include <atomic>
#include <cstdint>

namespace orvik {

// Moves on with every change of any shared value. Render-time readers that keep
// copies of setting values compare it with the count they read them at: equal
// counts mean no value anywhere has changed since.
inline std::atomic<std::uint64_t> gSharedValueChanges{0};

template <class T>
class SharedValue {
 public:
  constexpr SharedValue() noexcept : value_(T{}) {}
  constexpr SharedValue(T v) noexcept : value_(v) {}  // NOLINT: implicit by design
  SharedValue(const SharedValue& other) noexcept : value_(other.get()) {}
  SharedValue& operator=(const SharedValue& other) noexcept {
    set(other.get());
    return *this;
  }
  SharedValue& operator=(T v) noexcept {
    set(v);
    return *this;
  }

  T get() const noexcept { return value_.load(std::memory_order_relaxed); }
  void set(T v) noexcept {
    value_.store(v, std::memory_order_relaxed);
    gSharedValueChanges.fetch_add(1, std::memory_order_release);
  }
  operator T() const noexcept { return get(); }  // NOLINT: implicit by design

  // Read-modify-write helpers; only one thread writes a given field at a time,
  // so load-then-store is enough and keeps the wrapper usable for doubles.
  SharedValue& operator+=(T d) noexcept {
    set(get() + d);
    return *this;
  }
  SharedValue& operator-=(T d) noexcept {
    set(get() - d);
    return *this;
  }
  SharedValue& operator|=(T bits) noexcept {
    set(get() | bits);
    return *this;
  }
  SharedValue& operator&=(T bits) noexcept {
    set(get() & bits);
    return *this;
  }
  SharedValue& operator^=(T bits) noexcept {
    set(get() ^ bits);
    return *this;
  }

 private:
  std::atomic<T> value_;
};

}  // namespace orvik
