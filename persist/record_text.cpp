#include "persist/record_text.h"

#include <cmath>
#include <cstring>

#include "persist/settings_text.h"

namespace orvik {

namespace {

const char* const kAnimateKeywords[kAnimateModeCount] = {
    "FIXED",  "XPOS",   "YPOS",     "ZPOS",       "ORIGIN_DIST", "XSCALE",
    "YSCALE", "ZSCALE", "AVESCALE", "SEPARATION", "LINEAR"};

bool Is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

// The lines of one record after its BEGIN line.
class RecordCursor {
 public:
  explicit RecordCursor(LoadState* state) : state_(state) {}
  // Reads the next significant line; false at the end of data.
  bool Next() {
    line_ = ReadSettingsLine(state_, buffer_);
    return line_ != nullptr;
  }
  const char* line() const { return line_; }
  // Word 1 of the current line; false when the line has none.
  bool FirstWord(TokenBuffer& out) const { return GetToken(line_, out, 1) == 0; }
  // The value word (word 2); false when it is missing.
  bool Value(TokenBuffer& out) const { return GetToken(line_, out, 2) == 0; }

 private:
  LoadState* state_;
  SettingsLineBuffer buffer_ = {};
  const char* line_ = nullptr;
};

// Reads the item line after REF1ITEM / REF2ITEM or a PARENT line's bone.
// Returns: 1 stored in ref; 0 the current line is not an item line and is to
// be read as an ordinary line of the record; -1 the end of data.
int ReadReferenceLines(RecordCursor& cursor, ItemReference& ref) {
  if (!cursor.Next()) return -1;
  ItemName first;
  if (ParseItemLine(cursor.line(), first) == 0) return 0;
  if (!IsParentItemLine(cursor.line())) {
    ref = ItemReference{};
    ref.item = first;
    return 1;
  }
  if (!cursor.Next()) return -1;
  ItemName bone;
  if (ParseItemLine(cursor.line(), bone) == 0) return 0;
  ref = ItemReference{};
  ref.item = bone;
  ref.item.type = kItemBone;
  ref.hasParent = true;
  ref.parent = first;
  ref.parent.type = kItemObject;
  return 1;
}

}  // namespace

const char* AnimateModeKeyword(int mode) {
  return mode >= 0 && mode < kAnimateModeCount ? kAnimateKeywords[mode] : nullptr;
}

int AnimateModeFromKeyword(const char* keyword) {
  if (keyword == nullptr) return -1;
  for (int mode = 0; mode < kAnimateModeCount; ++mode) {
    if (Is(keyword, kAnimateKeywords[mode])) return mode;
  }
  return -1;
}

// ---- NUM -------------------------------------------------------------------

double LimitLoadedValue(const NumRecord& r, double value) {
  if (r.clampLow && value < r.minimum) value = r.minimum;
  if (r.clampHigh && value > r.maximum) value = r.maximum;
  if (r.integerDisplay) value = std::floor(value + 0.5);
  return value;
}

long WriteNumRecord(SaveState* state, int depth, const char* key, const NumRecord& r) {
  const char* indent = SettingsIndent(depth);
  // A mode outside the table is written as a fixed value.
  int mode = AnimateModeKeyword(r.animateMode) != nullptr ? r.animateMode : kAnimateFixed;
  long bytes = WriteSettingsLine(state, "%sBEGIN NUM %s", indent, key);
  if (mode != kAnimateFixed) {
    bytes += WriteSettingsLine(state, "%s ANIMATE %s", indent, AnimateModeKeyword(mode));
  }
  if (mode == kAnimateFixed || mode == kAnimateLinear) {
    bytes += WriteSettingsLine(state, "%sVALUE %lg", indent, r.value);
  } else {
    if (r.hasReference[0]) {
      bytes += WriteSettingsLine(state, " %sREF1ITEM", indent);
      bytes += WriteItemLine(state, indent, r.reference[0]);
    }
    if (mode == kAnimateSeparation && r.hasReference[1]) {
      bytes += WriteSettingsLine(state, " %sREF2ITEM", indent);
      bytes += WriteItemLine(state, indent, r.reference[1]);
    }
  }
  if (mode == kAnimateLinear) {
    bytes += WriteSettingsLine(state, " %sLINEAR %lg", indent, r.linearRate);
  }
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadNumRecord(LoadState* state, NumRecord& r) {
  r.animateMode = kAnimateFixed;
  for (int i = 0; i < 2; ++i) {
    r.hasReference[i] = false;
    r.reference[i] = ItemReference{};
  }
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    bool lineTaken = false;  // the next line is already current
    if (Is(word, "END")) {
      return nullptr;
    } else if (Is(word, "ANIMATE")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      int mode = AnimateModeFromKeyword(value);
      if (mode >= 0) r.animateMode = mode;
    } else if (Is(word, "VALUE")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      r.value = LimitLoadedValue(r, TextToDouble(value));
    } else if (Is(word, "LINEAR")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      r.linearRate = TextToDouble(value);
    } else if (Is(word, "REF1ITEM") || Is(word, "REF2ITEM")) {
      int slot = word[3] == '1' ? 0 : 1;
      ItemReference ref;
      int got = ReadReferenceLines(cursor, ref);
      if (got < 0) return kMsgEndOfFile;
      if (got > 0) {
        r.reference[slot] = ref;
        r.hasReference[slot] = true;
      } else {
        lineTaken = true;
      }
    } else if (Is(word, "REF1") || Is(word, "REF2")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      int slot = word[3] == '1' ? 0 : 1;
      ItemReference ref;
      GetDelimitedText(cursor.line(), ref.item.name, sizeof ref.item.name);
      r.reference[slot] = ref;
      r.hasReference[slot] = true;
    }
    if (!lineTaken && !cursor.Next()) return kMsgEndOfFile;
  }
}

// ---- COLOR -----------------------------------------------------------------

long WriteColorRecord(SaveState* state, int depth, const char* key, const ColorRecord& r) {
  const char* indent = SettingsIndent(depth);
  long bytes = WriteSettingsLine(state, "%sBEGIN COLOR %s", indent, key);
  bytes += WriteSettingsLine(state, " %sRED %d", indent, r.red);
  bytes += WriteSettingsLine(state, " %sGREEN %d", indent, r.green);
  bytes += WriteSettingsLine(state, " %sBLUE %d", indent, r.blue);
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadColorRecord(LoadState* state, ColorRecord& r) {
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    if (Is(word, "END")) return nullptr;
    int* channel = Is(word, "RED")     ? &r.red
                   : Is(word, "GREEN") ? &r.green
                   : Is(word, "BLUE")  ? &r.blue
                                       : nullptr;
    if (channel != nullptr) {
      if (!cursor.Value(value)) return kMsgBadToken;
      *channel = TextToInt(value);
    }
    if (!cursor.Next()) return kMsgEndOfFile;
  }
}

// ---- STRING ----------------------------------------------------------------

long WriteStringRecord(SaveState* state, int depth, const char* key, const StringRecord& r) {
  if (r.text[0] == '\0') return 0;
  const char* indent = SettingsIndent(depth);
  char text[kStringMaxChars + 1];
  long length = static_cast<long>(CopyLineText(text, sizeof text, r.text));
  long bytes = WriteSettingsLine(state, "%sBEGIN STRING %s", indent, key);
  bytes += WriteSettingsLine(state, " %sSTRING2 %ld @%s", indent, length, text);
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadStringRecord(LoadState* state, StringRecord& r) {
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    if (Is(word, "END")) return nullptr;
    if (Is(word, "STRING2")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      GetCountedText(cursor.line(), r.text, sizeof r.text);
    } else if (Is(word, "STRING")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      GetDelimitedText(cursor.line(), r.text, sizeof r.text);
    }
    if (!cursor.Next()) return kMsgEndOfFile;
  }
}

// ---- IMNAME ----------------------------------------------------------------

void MakeContentRelative(const char* fileName, const char* contentDirectory, char* out,
                         size_t capacity) {
  if (out == nullptr || capacity == 0) return;
  out[0] = '\0';
  if (fileName == nullptr) return;
  const char* stored = fileName;
  size_t dirLength = contentDirectory != nullptr ? std::strlen(contentDirectory) : 0;
  if (dirLength > 0 && std::strncmp(fileName, contentDirectory, dirLength) == 0) {
    const char* rest = fileName + dirLength;
    char last = contentDirectory[dirLength - 1];
    // Only a path inside the directory: "C:\Content\a.tga", not "C:\Contents\a.tga".
    if (*rest == '\\' || *rest == '/') {
      stored = rest + 1;
    } else if (last == '\\' || last == '/') {
      stored = rest;
    }
  }
  size_t n = std::strlen(stored);
  if (n > static_cast<size_t>(kImageFileNameMaxChars)) n = kImageFileNameMaxChars;
  if (n > capacity - 1) n = capacity - 1;
  std::memcpy(out, stored, n);
  out[n] = '\0';
}

long WriteImageNameRecord(SaveState* state, int depth, const char* key,
                          const ImageNameRecord& r) {
  const char* indent = SettingsIndent(depth);
  char name[kStringMaxChars + 1];
  char file[kImageFileNameMaxChars + 1];
  long nameLength = static_cast<long>(CopyLineText(name, sizeof name, r.imageName));
  long fileLength = static_cast<long>(CopyLineText(file, sizeof file, r.fileName));
  long bytes = WriteSettingsLine(state, "%sBEGIN IMNAME %s", indent, key);
  bytes += WriteSettingsLine(state, " %sIMAGENAME %ld @%s", indent, nameLength, name);
  bytes += WriteSettingsLine(state, " %sFILENAME %ld @%s", indent, fileLength, file);
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadImageNameRecord(LoadState* state, ImageNameRecord& r) {
  RecordCursor cursor(state);
  while (cursor.Next()) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    if (Is(word, "END")) return nullptr;
    if (Is(word, "IMAGENAME")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      GetCountedText(cursor.line(), r.imageName, sizeof r.imageName);
    } else if (Is(word, "FILENAME")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      GetCountedText(cursor.line(), r.fileName, sizeof r.fileName);
    }
  }
  return nullptr;  // the end of data ends this record without error
}

// ---- RADIO -----------------------------------------------------------------

long WriteRadioRecord(SaveState* state, int depth, const char* key, const RadioRecord& r) {
  const char* indent = SettingsIndent(depth);
  long bytes = WriteSettingsLine(state, "%sBEGIN RADIO %s", indent, key);
  bytes += WriteSettingsLine(state, " %sSELECTION %d", indent, r.selection);
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadRadioRecord(LoadState* state, RadioRecord& r) {
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgNoLine;
  TokenBuffer word, value;
  if (!cursor.FirstWord(word)) return kMsgBadToken;
  if (!Is(word, "SELECTION")) return kMsgNoSelection;
  if (!cursor.Value(value)) return kMsgBadToken;
  int selection = TextToInt(value);
  if (selection >= 0 && selection < r.choiceCount) r.selection = selection;
  cursor.Next();  // the end line
  return nullptr;
}

// ---- LISTBOX ---------------------------------------------------------------

long WriteListBoxRecord(SaveState* state, int depth, const char* key, const ListBoxRecord& r) {
  const char* indent = SettingsIndent(depth);
  long bytes = WriteSettingsLine(state, "%sBEGIN LISTBOX %s", indent, key);
  for (long row = 0; row < kListMaxRows; ++row) {
    if (r.selected[row] != 0) bytes += WriteSettingsLine(state, " %sSEL %ld", indent, row);
  }
  bytes += WriteSettingsLine(state, "%sEND LISTBOX %s", indent, key);
  return bytes;
}

const char* ReadListBoxRecord(LoadState* state, const char* key, ListBoxRecord& r) {
  std::memset(r.selected, 0, sizeof r.selected);
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    if (Is(word, "END")) {
      TokenBuffer name;
      if (GetToken(cursor.line(), name, 3) != 0) return kMsgBadToken;
      return key != nullptr && Is(name, key) ? nullptr : kMsgWrongEndName;
    }
    if (Is(word, "SEL")) {
      if (!cursor.Value(value)) return kMsgBadToken;
      long row = TextToLong(value);
      if (row >= 0 && row < kListMaxRows) r.selected[row] = 1;
    }
    if (!cursor.Next()) return kMsgEndOfFile;
  }
}

// ---- ITEM ------------------------------------------------------------------

int ItemReferencePoolBytes(const ItemReference& ref) {
  int bytes = static_cast<int>(std::strlen(ref.item.name)) + 1;
  if (ref.hasParent) bytes += static_cast<int>(std::strlen(ref.parent.name)) + 1;
  return bytes;
}

long WriteItemRecord(SaveState* state, int depth, const char* key, const ItemRecord& r) {
  if (r.entries.empty()) return 0;
  const char* indent = SettingsIndent(depth);
  long bytes = WriteSettingsLine(state, "%sBEGIN ITEM %s", indent, key);
  for (const ItemReference& ref : r.entries) bytes += WriteItemLine(state, indent, ref);
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadItemRecord(LoadState* state, ItemRecord& r) {
  r.entries.clear();
  int poolUsed = 0;
  auto keep = [&](const ItemReference& ref) {
    int bytes = ItemReferencePoolBytes(ref);
    if (static_cast<int>(r.entries.size()) >= kMaxItemEntries ||
        poolUsed + bytes > kItemNamePoolBytes) {
      return;  // over the list's limits: dropped
    }
    poolUsed += bytes;
    r.entries.push_back(ref);
  };

  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    bool lineTaken = false;
    if (Is(word, "END")) return nullptr;
    if (Is(word, "OBJECT") || Is(word, "LIGHT") || Is(word, "CAMERA")) {
      ItemReference ref;
      if (ParseItemLine(cursor.line(), ref.item) > 0) keep(ref);
    } else if (Is(word, "PARENT")) {
      ItemReference ref;
      if (ParseItemLine(cursor.line(), ref.parent) > 0) {
        ref.parent.type = kItemObject;
        if (!cursor.Next()) return kMsgEndOfFile;
        if (ParseItemLine(cursor.line(), ref.item) > 0) {
          ref.item.type = kItemBone;
          ref.hasParent = true;
          keep(ref);
        } else {
          lineTaken = true;
        }
      }
    }
    if (!lineTaken && !cursor.Next()) return kMsgEndOfFile;
  }
}

// ---- BUTTON ----------------------------------------------------------------

long WriteButtonRecord(SaveState* state, int depth, const char* key, const ButtonRecord& r) {
  const char* indent = SettingsIndent(depth);
  long bytes = WriteSettingsLine(state, "%sBEGIN BUTTON %s", indent, key);
  bytes += WriteSettingsLine(state, " %sCHECKED %s", indent,
                             (r.state & kButtonChecked) != 0 ? "YES" : "NO");
  bytes += WriteSettingsLine(state, " %sHIGHLIGHTED %s", indent,
                             (r.state & kButtonHighlighted) != 0 ? "YES" : "NO");
  bytes += WriteSettingsLine(state, "%sEND", indent);
  return bytes;
}

const char* ReadButtonRecord(LoadState* state, ButtonRecord& r) {
  RecordCursor cursor(state);
  if (!cursor.Next()) return kMsgEndOfFile;
  for (;;) {
    TokenBuffer word, value;
    if (!cursor.FirstWord(word)) return kMsgBadToken;
    if (Is(word, "END")) return nullptr;
    int bit = Is(word, "CHECKED") ? kButtonChecked : Is(word, "HIGHLIGHTED") ? kButtonHighlighted : 0;
    if (bit != 0) {
      if (!cursor.Value(value)) return kMsgBadToken;
      if (Is(value, "YES")) {
        r.state |= bit;
      } else {
        r.state &= ~bit;
      }
    }
    if (!cursor.Next()) return kMsgEndOfFile;
  }
}

}  // namespace orvik
