#include "persist/memory_stream.h"

#include <cstring>

namespace orvik {

MemoryWriter::MemoryWriter(size_t capacity) : capacity_(capacity) {
  state_.context = this;
  state_.write = &MemoryWriter::Write;
  bytes_.reserve(capacity < 65536 ? capacity : 65536);
}

void MemoryWriter::Write(void* context, const char* text, int length) {
  auto* self = static_cast<MemoryWriter*>(context);
  if (text == nullptr || length < 1 || self->overflowed_) return;
  size_t n = static_cast<size_t>(length);
  // The line, its zero turned into CR, and the LF added after it.
  if (self->bytes_.size() + n + 1 > self->capacity_) {
    self->overflowed_ = true;
    return;
  }
  self->bytes_.insert(self->bytes_.end(), text, text + n);
  self->bytes_.back() = '\r';
  self->bytes_.push_back('\n');
}

MemoryReader::MemoryReader(const char* data, size_t size)
    : data_(data), size_(data != nullptr ? size : 0) {
  state_.context = this;
  state_.read = &MemoryReader::Read;
}

int MemoryReader::Read(void* context, char* buffer, int length) {
  auto* self = static_cast<MemoryReader*>(context);
  if (self->size_ == 0 || self->position_ >= self->size_ - 1) return -1;
  if (buffer == nullptr || length < 1) return 0;
  int copied = 0;
  while (copied < length && self->position_ < self->size_ - 1) {
    char byte = self->data_[self->position_++];
    if (byte == '\0' || byte == '\n' || byte == '\r') {
      buffer[copied] = '\0';
      return copied;
    }
    buffer[copied++] = byte;
  }
  return copied;
}

}  // namespace orvik
