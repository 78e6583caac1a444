#include "persist/settings_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/cut_paste_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"
#include "persist/clip_store.h"
#include "persist/cut_paste.h"
#include "persist/instance_settings.h"
#include "persist/memory_stream.h"

namespace orvik {

namespace {

constexpr size_t kSharedNameBytes = 1024;
constexpr const char* kInitialSharedName = "*.*";
constexpr const char* kLoadButtonKey = "P_L";

struct SharedName {
  std::mutex lock;
  char text[kSharedNameBytes] = "*.*";
};

SharedName& TheSharedName() {
  static SharedName name;
  return name;
}

// Puts the direction mark in front of the shared name (replacing an earlier
// mark, so that alternating saves and loads do not pile marks up) and copies
// it out for the requester.
void MarkedSharedName(char mark, char* out, size_t capacity) {
  SharedName& s = TheSharedName();
  std::lock_guard<std::mutex> guard(s.lock);
  const char* rest = s.text;
  while (*rest == '<' || *rest == '>') ++rest;
  char marked[kSharedNameBytes + 2];
  std::snprintf(marked, sizeof marked, "%c%s", mark, rest);
  CopyText(s.text, marked);
  CopyText(out, capacity, s.text);
}

void RememberSharedName(const char* name) {
  SharedName& s = TheSharedName();
  std::lock_guard<std::mutex> guard(s.lock);
  CopyText(s.text, name);
}

bool ShiftHeld(Control* c) {
  auto* b = As<ButtonControl>(c);
  return b != nullptr && (b->clickModifiers & kClickShift) != 0;
}

void HighlightLoadButton(Panel* panel, bool on) {
  for (Control* d : panel->decorations) {
    if (d != nullptr && d->key.Equals(kLoadButtonKey)) {
      if (auto* b = As<ButtonControl>(d)) SetButtonHighlight(b, on);
    }
  }
}

// Asks the host's file requester; false when there is none or it was cancelled.
bool RequestFile(const char* title, char mark, char* result, size_t resultCapacity) {
  const ToolkitHost& host = GetToolkitHost();
  if (host.fileRequest == nullptr) return false;
  char name[kSharedNameBytes];
  MarkedSharedName(mark, name, sizeof name);
  char path[kSharedNameBytes] = "";
  result[0] = '\0';
  int chosen = host.fileRequest(title, name, sizeof name, path, sizeof path, result, resultCapacity);
  RememberSharedName(name);
  return chosen == 1 && result[0] != '\0';
}

// Writes the panel's block into a memory writer; shows what went wrong.
std::unique_ptr<MemoryWriter> WritePanel(Panel* panel) {
  std::unique_ptr<MemoryWriter> writer(new (std::nothrow) MemoryWriter(kSettingsFileBufferBytes));
  if (writer == nullptr) {
    HostError(kMsgNoRamToSave, "");
    return nullptr;
  }
  const char* message = SavePanelSettings(panel, writer->state());
  if (message != nullptr) {
    HostError(message, "");
    return nullptr;
  }
  if (writer->overflowed()) {
    char detail[96];
    std::snprintf(detail, sizeof detail, "A settings file holds at most %zu bytes.",
                  kSettingsFileBufferBytes);
    HostError(kMsgSettingsTooLarge, detail);
    return nullptr;
  }
  return writer;
}

void LoadText(Panel* panel, const char* text, size_t size) {
  MemoryReader reader(text, size);
  const char* message = LoadPanelSettings(panel, reader.state());
  FinishSettingsLoad(panel, message);
  ApplyReplacedSettings(panel);
}

}  // namespace

std::string SharedSettingsFileName() {
  SharedName& s = TheSharedName();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.text;
}

void ResetSharedSettingsFileName() { RememberSharedName(kInitialSharedName); }

bool WriteSettingsFile(Panel* panel, const char* path) {
  try {
    std::unique_ptr<MemoryWriter> writer = WritePanel(panel);
    if (writer == nullptr) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
      HostError(kMsgCannotWriteFile, path);
      return false;
    }
    size_t size = writer->size();
    bool ok = std::fwrite(writer->bytes().data(), 1, size, file) == size;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) HostError(kMsgCannotWriteFile, path);
    return ok;
  } catch (const std::bad_alloc&) {
    HostError(kMsgNoRamToSave, "");
    return false;
  }
}

bool ReadSettingsFile(Panel* panel, const char* path) {
  std::vector<char> text;
  try {
    text.resize(kSettingsFileBufferBytes);
  } catch (const std::bad_alloc&) {
    HostError(kMsgNoRamToLoad, "");
    return false;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    HostError(kMsgCannotReadFile, path);
    return false;
  }
  size_t got = std::fread(text.data(), 1, kSettingsFileBufferBytes - 1, file);
  std::fclose(file);
  text[got] = '\0';
  LoadText(panel, text.data(), got + 1);
  return true;
}

void SaveSettingsFile(Control* c) {
  Panel* panel = PanelOf(c);
  if (panel == nullptr) return;
  bool shift = ShiftHeld(c);
  if (shift && MemorySlotHolds(panel->blockName)) {
    ClearMemorySlot();
    HighlightLoadButton(panel, false);
    return;
  }
  if (shift) {
    try {
      std::unique_ptr<MemoryWriter> writer = WritePanel(panel);
      if (writer == nullptr) return;
      StoreMemorySlot(panel->blockName, writer->bytes().data(), writer->size());
    } catch (const std::bad_alloc&) {
      HostError(kMsgNoRamToSave, "");
      return;
    }
    HighlightLoadButton(panel, true);
    return;
  }
  char result[kFileRequestResultChars + 1];
  if (!RequestFile(kSaveRequestTitle, '>', result, sizeof result)) return;
  WriteSettingsFile(panel, result);
}

void LoadSettingsFile(Control* c) {
  Panel* panel = PanelOf(c);
  if (panel == nullptr) return;
  if (ShiftHeld(c)) {
    std::vector<char> slot;
    bool have = false;
    try {
      have = CopyMemorySlot(panel->blockName, slot);
    } catch (const std::bad_alloc&) {
      HostError(kMsgNoRamToLoad, "");
      return;
    }
    if (have) {
      LoadText(panel, slot.data(), slot.size());
      return;
    }
  }
  char result[kFileRequestResultChars + 1];
  if (!RequestFile(kLoadRequestTitle, '<', result, sizeof result)) return;
  ReadSettingsFile(panel, result);
}

void InstallSettingsHooks() {
  SetCutPasteHooks(CutSettings, PasteSettings);
  SetPanelFileHooks(SaveSettingsFile, LoadSettingsFile);
}

}  // namespace orvik
