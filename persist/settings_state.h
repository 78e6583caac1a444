// The save and load states that all settings text goes through.
//
// A state is a context pointer and one function. The module adapts the host's
// own save and load states to these; cut and paste, the memory slot and
// settings files use the memory streams of memory_stream.h. The toolkit's
// record operations (saveRecord, loadRecord) receive them unchanged.
#pragma once

namespace orvik {

struct SaveState {
  void* context = nullptr;
  // Writes one line: length counts the line's characters plus its terminating
  // zero, which the text carries. Adds no line feed of its own.
  void (*write)(void* context, const char* text, int length) = nullptr;
};

struct LoadState {
  void* context = nullptr;
  // Reads up to length bytes into buffer and returns the number read; a result
  // below 1 means that nothing was read (a line break, or the end of data).
  int (*read)(void* context, char* buffer, int length) = nullptr;
};

}  // namespace orvik
