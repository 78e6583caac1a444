#include "persist/item_line.h"

#include <cstdint>
#include <cstring>

#include "persist/settings_text.h"

namespace orvik {

namespace {

const char* ItemKeyword(int type) {
  switch (type) {
    case kItemLight: return "LIGHT";
    case kItemCamera: return "CAMERA";
    case kItemBone: return "BONE";
    default: return "OBJECT";
  }
}

long WriteOneItemLine(SaveState* state, const char* indent, const char* keyword,
                      const ItemName& name) {
  char text[kItemNameMaxChars + 1];
  long length = static_cast<long>(CopyLineText(text, sizeof text, name.name));
  return WriteSettingsLine(state, "%s%s %ld %ld %ld @%s", indent, keyword, name.cloneIndex,
                           name.count, length, text);
}

// A clone index or count: a signed 16-bit number, below 2 read as 1.
long ReadCloneNumber(const char* word, long maximum) {
  auto v = static_cast<int16_t>(TextToLong(word));  // keeps the low 16 bits
  long n = v < 2 ? 1 : v;
  return n > maximum ? maximum : n;
}

}  // namespace

long WriteItemLine(SaveState* state, const char* indent, const ItemReference& ref) {
  if (indent == nullptr) indent = "";
  long bytes = 0;
  if (ref.item.type == kItemBone) {
    if (ref.hasParent) bytes += WriteOneItemLine(state, indent, "PARENT", ref.parent);
    bytes += WriteOneItemLine(state, indent, "BONE", ref.item);
    return bytes;
  }
  return WriteOneItemLine(state, indent, ItemKeyword(ref.item.type), ref.item);
}

int ParseItemLine(const char* line, char* nameOut, size_t nameCapacity, long* cloneOut,
                  long* countOut, int* typeOut) {
  TokenBuffer word;
  if (GetToken(line, word, 1) != 0) return 0;
  int type = kItemObject;
  if (std::strncmp(word, "PARENT", 6) == 0 || std::strncmp(word, "BONE", 4) == 0) {
    type = kItemBone;
  } else if (std::strncmp(word, "LIGHT", 5) == 0) {
    type = kItemLight;
  } else if (std::strncmp(word, "CAMERA", 6) == 0) {
    type = kItemCamera;
  }

  TokenBuffer cloneWord, countWord, lengthWord;
  if (GetToken(line, cloneWord, 2) != 0 || GetToken(line, countWord, 3) != 0 ||
      GetToken(line, lengthWord, 4) != 0) {
    return 0;
  }
  const char* at = std::strchr(line, '@');
  if (at == nullptr) return 0;

  long length = TextToLong(lengthWord);
  if (length < 0) length = 0;
  size_t n = static_cast<size_t>(length);
  size_t present = std::strlen(at + 1);
  if (n > present) n = present;
  if (n > static_cast<size_t>(kItemNameMaxChars)) n = kItemNameMaxChars;
  if (nameOut != nullptr && nameCapacity > 0) {
    if (n > nameCapacity - 1) n = nameCapacity - 1;
    std::memcpy(nameOut, at + 1, n);
    nameOut[n] = '\0';
  } else {
    n = 0;
  }
  if (cloneOut != nullptr) *cloneOut = ReadCloneNumber(cloneWord, kMaxCloneIndex);
  if (countOut != nullptr) *countOut = ReadCloneNumber(countWord, kMaxCloneCount);
  if (typeOut != nullptr) *typeOut = type;
  return static_cast<int>(n) + 1;
}

int ParseItemLine(const char* line, ItemName& out) {
  ItemName parsed;
  int result = ParseItemLine(line, parsed.name, sizeof parsed.name, &parsed.cloneIndex,
                             &parsed.count, &parsed.type);
  if (result > 0) out = parsed;
  return result;
}

bool IsParentItemLine(const char* line) {
  TokenBuffer word;
  return GetToken(line, word, 1) == 0 && std::strcmp(word, "PARENT") == 0;
}

}  // namespace orvik
