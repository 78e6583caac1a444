// Nothing unwinds into the host: every entry point the host calls runs its
// body through guardedCall, which turns an exception into the entry's
// documented failure result.
#pragma once

#include <utility>

namespace orvik {

// Error text returned by callbacks whose body failed unexpectedly.
inline constexpr const char *kInternalError = "Orvik: internal error";

template <typename R, typename F>
R guardedCall(R onFailure, F &&body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    return onFailure;
  }
}

template <typename F>
void guardedCall(F &&body) noexcept {
  try {
    std::forward<F>(body)();
  } catch (...) {
  }
}

}  // namespace orvik
