// Save and load states over memory, used by cut and paste, the memory slot
// and settings files. The text they carry is the same as in a scene file.
#pragma once

#include <cstddef>
#include <vector>

#include "persist/settings_state.h"

namespace orvik {

// Appends every line written, ending it with carriage return and line feed
// (the line's terminating zero becomes the carriage return). Holds at most
// `capacity` bytes: a line that would not fit is dropped whole and the writer
// is marked overflowed, so a caller never keeps a cut block unknowingly.
class MemoryWriter {
 public:
  explicit MemoryWriter(size_t capacity);
  MemoryWriter(const MemoryWriter&) = delete;
  MemoryWriter& operator=(const MemoryWriter&) = delete;

  SaveState* state() { return &state_; }
  const std::vector<char>& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }
  bool overflowed() const { return overflowed_; }

 private:
  static void Write(void* context, const char* text, int length);

  SaveState state_;
  std::vector<char> bytes_;
  size_t capacity_;
  bool overflowed_ = false;
};

// Reads bytes [0, size) of data, which it does not own. A read of n bytes
// returns -1 once the position has reached the last byte (size - 1), else
// copies at most n bytes, stopping at a zero, line feed or carriage return,
// which is stored as the terminating zero and not counted.
class MemoryReader {
 public:
  MemoryReader(const char* data, size_t size);
  MemoryReader(const MemoryReader&) = delete;
  MemoryReader& operator=(const MemoryReader&) = delete;

  LoadState* state() { return &state_; }
  size_t position() const { return position_; }

 private:
  static int Read(void* context, char* buffer, int length);

  LoadState state_;
  const char* data_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace orvik
