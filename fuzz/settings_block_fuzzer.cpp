// Loads arbitrary text as an instance's settings block, through the memory
// reader or through a raw byte state that hands over line breaks as bytes
// (first input byte chooses), then saves the result again.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_panel.h"
#include "persist/instance_settings.h"
#include "persist/memory_stream.h"

namespace {

struct RawState {
  const uint8_t* data;
  size_t size;
  size_t position;
};

// Copies bytes as they are, line breaks included; 0 at the end of data.
int RawRead(void* context, char* buffer, int length) {
  auto* s = static_cast<RawState*>(context);
  if (length < 1) return 0;
  size_t n = static_cast<size_t>(length);
  if (n > s->size - s->position) n = s->size - s->position;
  std::memcpy(buffer, s->data + s->position, n);
  s->position += n;
  return static_cast<int>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvik;
  if (size < 1 || size > fuzzing::kMaxInputBytes) return 0;
  fuzzing::FuzzInstance instance;
  if (data[0] & 1) {
    RawState raw{data + 1, size - 1, 0};
    LoadState state{&raw, RawRead};
    LoadInstanceSettings(&instance, &state);
  } else {
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    MemoryReader reader(text.c_str(), text.size() + 1);
    LoadInstanceSettings(&instance, reader.state());
  }
  MemoryWriter writer(1 << 20);
  SaveInstanceSettings(&instance, writer.state());
  return 0;
}
