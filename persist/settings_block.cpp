#include "persist/settings_block.h"

#include <cstring>
#include <ctime>

#include "panels/control.h"
#include "persist/settings_text.h"

namespace orvik {

namespace {

// The build comment's two identification numbers; no reader looks at them.
constexpr long kBuildCommentSerial = 15;
constexpr int kBuildCommentRevision = 1;
// Attempts at reading the next line of a block before it counts as complete.
constexpr int kNextLineAttempts = 7;

bool Is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

long WriteHeader(SaveState* state, const char* blockName) {
  long bytes = WriteSettingsLine(state, "BEGIN %s %s", kBlockKeyword, blockName);
  bytes += WriteSettingsLine(state, "# %ld %03d   x86 %s Version %s-HY Jul 25 2003",
                             kBuildCommentSerial, kBuildCommentRevision, kProductName,
                             kProductVersionText);
  // The date form of ctime, its line feed included.
  char date[64] = "\n";
  std::time_t now = std::time(nullptr);
  if (ctime_r(&now, date) == nullptr) std::strcpy(date, "\n");
  bytes += WriteSettingsLine(state, "# Saved %s", date);
  return bytes;
}

bool SavesRecord(const Control* c) {
  return c->ops.saveRecord != nullptr && c->persistent.get() != 0;
}

}  // namespace

const char* WriteSettingsBlock(SaveState* state, const char* blockName, double settingsVersion,
                               Control* chain, long* bytesOut) {
  if (blockName == nullptr) blockName = "";
  long total = WriteHeader(state, blockName);
  if (!(settingsVersion > 0.0)) {
    if (bytesOut != nullptr) *bytesOut = total;
    return kMsgBadVersion;
  }
  total += WriteSettingsLine(state, "VERSION %g", settingsVersion);
  for (Control* c = chain; c != nullptr; c = c->next) {
    if (SavesRecord(c)) total += c->ops.saveRecord(c, state, 1);
  }
  // Keep the block's byte total even: the end line "END <keyword> <name>"
  // counts its characters plus the terminating zero.
  long endLine = static_cast<long>(std::strlen("END  ") + std::strlen(kBlockKeyword) +
                                   std::strlen(blockName)) + 1;
  if ((total + endLine) % 2 == 0) {
    total += WriteSettingsLine(state, "END %s %s", kBlockKeyword, blockName);
  } else {
    total += WriteSettingsLine(state, "END %s %s ", kBlockKeyword, blockName);
  }
  if (bytesOut != nullptr) *bytesOut = total;
  return nullptr;
}

long WriteClipBlock(SaveState* state, const char* blockName, double settingsVersion,
                    const ControlSpan* spans, int spanCount) {
  long total = WriteSettingsLine(state, "BEGIN %s %s", kBlockKeyword, blockName);
  total += WriteSettingsLine(state, "VERSION %g", settingsVersion);
  for (int i = 0; i < spanCount && spans != nullptr; ++i) {
    if (spans[i].first == nullptr) continue;
    for (Control* c = spans[i].first; c != nullptr; c = c->next) {
      if (SavesRecord(c)) total += c->ops.saveRecord(c, state, 0);
      if (c == spans[i].last) break;
    }
  }
  total += WriteSettingsLine(state, "END %s %s", kBlockKeyword, blockName);
  return total;
}

const char* ReadSettingsBlock(LoadState* state, Control* chain) {
  ResetParsePosition();
  SettingsLineBuffer buffer;
  TokenBuffer word;

  // The BEGIN line.
  const char* line = ReadSettingsLine(state, buffer);
  if (line == nullptr) return kMsgNothingLoaded;
  if (GetToken(line, word, 1) != 0) return kMsgNoFirstLine;
  if (!Is(word, "BEGIN")) return kMsgWrongFileType;
  if (GetToken(line, word, 2) != 0) return kMsgNotSaveFile;
  if (!Is(word, kBlockKeyword)) return kMsgBrokenSaveFile;
  // Any block name is accepted: a master block loads into a surface panel.
  if (GetToken(line, word, 3) != 0) return kMsgCorruptedSaveFile;

  // The optional VERSION line (its value is not interpreted).
  line = ReadSettingsLine(state, buffer);
  if (line == nullptr) return kMsgNoLineB;
  if (GetToken(line, word, 1) != 0) return kMsgBadTokenC;
  if (Is(word, "VERSION")) {
    if (GetToken(line, word, 2) != 0) return kMsgBadTokenD;
    line = ReadSettingsLine(state, buffer);
    if (line == nullptr) return kMsgNoLineC;
  }

  // Records, dispatched by key; any other line is skipped.
  for (;;) {
    if (GetToken(line, word, 1) == 0) {
      if (Is(word, "END")) {
        TokenBuffer second;
        if (GetToken(line, second, 2) == 0 && Is(second, kBlockKeyword)) return nullptr;
      } else if (Is(word, "BEGIN")) {
        TokenBuffer key;
        if (GetToken(line, key, 3) != 0) return kMsgBadTokenG;
        for (Control* c = chain; c != nullptr; c = c->next) {
          if (!c->key.Equals(key)) continue;
          // A failing record keeps what it read; the block goes on.
          if (c->ops.loadRecord != nullptr) c->ops.loadRecord(c, state);
          break;
        }
      }
    }
    line = nullptr;
    for (int attempt = 0; attempt < kNextLineAttempts && line == nullptr; ++attempt) {
      line = ReadSettingsLine(state, buffer);
    }
    if (line == nullptr) return nullptr;
  }
}

}  // namespace orvik
