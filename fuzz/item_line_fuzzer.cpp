// Parses one line as a scene-item line and takes it apart with the shared
// tokenizer, into slots of several sizes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "persist/item_line.h"
#include "persist/settings_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvik;
  if (size > 4096) return 0;
  std::string line(reinterpret_cast<const char*>(data), size);
  const char* text = line.c_str();

  ItemName name;
  ParseItemLine(text, name);
  char small[5];
  long clone = 0, count = 0;
  int type = 0;
  int stored = ParseItemLine(text, small, sizeof small, &clone, &count, &type);
  // An accepted line always yields numbers inside their ranges and a name
  // that fits the slot.
  if (stored > 0 && (clone < 1 || clone > kMaxCloneIndex || count < 1 ||
                     count > kMaxCloneCount || stored > static_cast<int>(sizeof small))) {
    __builtin_trap();
  }

  TokenBuffer word;
  for (int n = 0; n < 6; ++n) GetToken(text, word, n);
  char counted[kCountedTextMaxChars + 1];
  GetCountedText(text, counted, sizeof counted);
  GetCountedText(text, small, sizeof small);
  GetDelimitedText(text, counted, sizeof counted);
  GetDelimitedText(text, small, sizeof small);
  return 0;
}
