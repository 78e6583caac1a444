#include "panels/bounded_text.h"

#include <cstdio>
#include <cstring>

namespace orvik {

size_t CopyTextLimited(char* dst, size_t capacity, const char* src, size_t maxChars) {
  if (dst == nullptr || capacity == 0) return 0;
  size_t n = 0;
  if (src != nullptr) {
    size_t limit = capacity - 1 < maxChars ? capacity - 1 : maxChars;
    while (n < limit && src[n] != '\0') ++n;
    // src may overlap dst (a field copied onto itself cut shorter).
    std::memmove(dst, src, n);
  }
  dst[n] = '\0';
  return n;
}

size_t CopyText(char* dst, size_t capacity, const char* src) {
  return CopyTextLimited(dst, capacity, src, static_cast<size_t>(-1));
}

size_t FormatTextV(char* dst, size_t capacity, const char* format, va_list args) {
  if (dst == nullptr || capacity == 0) return 0;
  int n = std::vsnprintf(dst, capacity, format != nullptr ? format : "", args);
  if (n < 0) {
    dst[0] = '\0';
    return 0;
  }
  size_t stored = static_cast<size_t>(n);
  return stored < capacity ? stored : capacity - 1;
}

size_t FormatText(char* dst, size_t capacity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  size_t n = FormatTextV(dst, capacity, format, args);
  va_end(args);
  return n;
}

}  // namespace orvik
