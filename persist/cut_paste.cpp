#include "persist/cut_paste.h"

#include <cstdio>
#include <new>
#include <vector>

#include "panels/button_control.h"
#include "panels/cut_paste_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"
#include "persist/clip_store.h"
#include "persist/instance_settings.h"
#include "persist/memory_stream.h"
#include "persist/record_operations.h"
#include "persist/settings_block.h"

namespace orvik {

namespace {

CutPasteControl* PairOf(Control* c) {
  if (c == nullptr) return nullptr;
  if (auto* pair = As<CutPasteControl>(c)) return pair;
  return As<CutPasteControl>(c->parentControl);
}

bool ShiftHeld(Control* c) {
  auto* b = As<ButtonControl>(c);
  return b != nullptr && (b->clickModifiers & kClickShift) != 0;
}

}  // namespace

void CutSettings(Control* c) {
  CutPasteControl* pair = PairOf(c);
  Panel* panel = PanelOf(pair);
  if (pair == nullptr || panel == nullptr) return;
  const char* key = pair->key.c_str();
  DeleteClips(key);

  ControlSpan spans[CutPasteControl::kMaxRanges];
  int spanCount = pair->rangeCount;
  if (spanCount < 0) spanCount = 0;
  if (spanCount > CutPasteControl::kMaxRanges) spanCount = CutPasteControl::kMaxRanges;
  for (int i = 0; i < spanCount; ++i) spans[i] = {pair->ranges[i].first, pair->ranges[i].last};

  InstallPanelRecordOperations(panel);
  try {
    MemoryWriter writer(kClipBufferBytes);
    WriteClipBlock(writer.state(), kClipBlockName, panel->settingsVersion, spans, spanCount);
    if (writer.overflowed()) {
      char detail[96];
      std::snprintf(detail, sizeof detail, "A clip holds at most %zu bytes.", kClipBufferBytes);
      HostError(kMsgClipTooLarge, detail);
      // The former clip is gone: the Paste button must not promise one.
      if (pair->pasteButton != nullptr) SetButtonHighlight(pair->pasteButton, false);
      return;
    }
    StoreClip(key, writer.bytes().data(), writer.size());
  } catch (const std::bad_alloc&) {
    return;  // no buffer: nothing happens
  }
  if (pair->pasteButton != nullptr) SetButtonHighlight(pair->pasteButton, true);
}

void PasteSettings(Control* c) {
  CutPasteControl* pair = PairOf(c);
  Panel* panel = PanelOf(pair);
  if (pair == nullptr || panel == nullptr) return;
  const char* key = pair->key.c_str();

  if (ShiftHeld(c)) {
    DeleteClips(key);
    if (pair->pasteButton != nullptr && pair->pasteButton->highlighted()) {
      SetButtonHighlight(pair->pasteButton, false);
    }
    return;
  }

  std::vector<char> clip;
  try {
    if (!CopyClip(key, clip)) return;
  } catch (const std::bad_alloc&) {
    return;
  }
  MemoryReader reader(clip.data(), clip.size());
  const char* message = LoadPanelSettings(panel, reader.state());
  FinishSettingsLoad(panel, message);
  ApplyReplacedSettings(panel);
}

}  // namespace orvik
