// Copying and formatting into fixed-size text fields without ever writing
// past their end. Every text field of a control record is a char array with a
// stated limit; these helpers are the only way the toolkit fills them.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace orvik {

// Copies at most capacity-1 bytes of src (null counts as empty) and always
// terminates. Returns the number of bytes stored.
size_t CopyText(char* dst, size_t capacity, const char* src);

// Copies at most maxChars characters of src, and never more than fits.
size_t CopyTextLimited(char* dst, size_t capacity, const char* src, size_t maxChars);

// printf into dst, cut to the capacity. Returns the number of bytes stored.
size_t FormatText(char* dst, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
size_t FormatTextV(char* dst, size_t capacity, const char* format, va_list args);

template <size_t N>
size_t CopyText(char (&dst)[N], const char* src) {
  return CopyText(dst, N, src);
}

}  // namespace orvik
