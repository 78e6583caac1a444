// Runs one control record reader (chosen by the first input byte) over the
// rest of the input, then writes the values it read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "persist/memory_stream.h"
#include "persist/record_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvik;
  if (size < 1 || size > (1u << 16)) return 0;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  MemoryReader reader(text.c_str(), text.size() + 1);
  LoadState* in = reader.state();
  MemoryWriter writer(1 << 22);
  SaveState* out = writer.state();
  switch (data[0] % 8) {
    case 0: {
      NumRecord r;
      r.clampLow = data[0] & 8;
      r.clampHigh = data[0] & 16;
      r.integerDisplay = data[0] & 32;
      r.maximum = 1.0;
      ReadNumRecord(in, r);
      WriteNumRecord(out, 1, "NUM", r);
      break;
    }
    case 1: {
      ColorRecord r;
      ReadColorRecord(in, r);
      WriteColorRecord(out, 1, "COL", r);
      break;
    }
    case 2: {
      StringRecord r;
      ReadStringRecord(in, r);
      WriteStringRecord(out, 1, "STR", r);
      break;
    }
    case 3: {
      ImageNameRecord r;
      ReadImageNameRecord(in, r);
      WriteImageNameRecord(out, 1, "IMG", r);
      break;
    }
    case 4: {
      RadioRecord r{0, 3};
      ReadRadioRecord(in, r);
      WriteRadioRecord(out, 1, "RAD", r);
      break;
    }
    case 5: {
      ListBoxRecord r;
      ReadListBoxRecord(in, "LST", r);
      WriteListBoxRecord(out, 1, "LST", r);
      break;
    }
    case 6: {
      ItemRecord r;
      ReadItemRecord(in, r);
      WriteItemRecord(out, 1, "ITM", r);
      break;
    }
    default: {
      ButtonRecord r;
      ReadButtonRecord(in, r);
      WriteButtonRecord(out, 1, "BTN", r);
      break;
    }
  }
  return 0;
}
