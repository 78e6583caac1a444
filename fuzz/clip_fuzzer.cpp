// Stores arbitrary bytes as a clip and pastes it into a panel, as a Paste
// click does; then copies the panel's pair to a clip again.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_panel.h"
#include "panels/button_control.h"
#include "persist/clip_store.h"
#include "persist/cut_paste.h"
#include "persist/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvik;
  if (size > fuzzing::kMaxInputBytes) return 0;
  static bool hooked = [] {
    InstallSettingsHooks();
    return true;
  }();
  (void)hooked;
  fuzzing::FuzzInstance instance;
  StoreClip("PAIR", reinterpret_cast<const char*>(data), size);
  ClickButton(instance.pair->pasteButton, 0);
  ClickButton(instance.pair->cutButton, 0);
  ClearClipStore();
  return 0;
}
