#include "persist/clip_store.h"

#include <cstring>
#include <list>
#include <mutex>
#include <string>

namespace orvik {

namespace {

struct Clip {
  std::string key;
  std::vector<char> bytes;
};

struct Stores {
  std::mutex lock;
  std::list<Clip> clips;  // newest first
  bool slotFilled = false;
  std::string slotName;
  std::vector<char> slotText;
};

Stores& TheStores() {
  static Stores stores;
  return stores;
}

bool SameClipKey(const std::string& a, const char* b) {
  return std::strncmp(a.c_str(), b, kClipKeyCompareChars) == 0;
}

bool SlotMatches(const Stores& s, const char* blockName) {
  return s.slotFilled &&
         std::strncmp(s.slotName.c_str(), blockName, kSlotNameCompareChars) == 0;
}

}  // namespace

void DeleteClips(const char* key) {
  if (key == nullptr) return;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  s.clips.remove_if([key](const Clip& c) { return SameClipKey(c.key, key); });
}

void StoreClip(const char* key, const char* bytes, size_t size) {
  if (key == nullptr || (bytes == nullptr && size > 0)) return;
  Clip clip;
  clip.key = key;
  clip.bytes.assign(bytes, bytes + size);
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  s.clips.push_front(std::move(clip));
}

bool CopyClip(const char* key, std::vector<char>& out) {
  if (key == nullptr) return false;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  for (const Clip& c : s.clips) {
    if (SameClipKey(c.key, key)) {
      out = c.bytes;
      return true;
    }
  }
  return false;
}

bool HasClip(const char* key) {
  if (key == nullptr) return false;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  for (const Clip& c : s.clips) {
    if (SameClipKey(c.key, key)) return true;
  }
  return false;
}

void ClearClipStore() {
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  s.clips.clear();
}

void StoreMemorySlot(const char* blockName, const char* bytes, size_t size) {
  if (blockName == nullptr || (bytes == nullptr && size > 0)) return;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  s.slotText.assign(bytes, bytes + size);
  s.slotText.push_back('\0');
  s.slotName = blockName;
  s.slotFilled = true;
}

bool MemorySlotHolds(const char* blockName) {
  if (blockName == nullptr) return false;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  return SlotMatches(s, blockName);
}

bool CopyMemorySlot(const char* blockName, std::vector<char>& out) {
  if (blockName == nullptr) return false;
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!SlotMatches(s, blockName)) return false;
  out = s.slotText;
  return true;
}

void ClearMemorySlot() {
  Stores& s = TheStores();
  std::lock_guard<std::mutex> guard(s.lock);
  s.slotFilled = false;
  s.slotName.clear();
  s.slotText.clear();
  s.slotText.shrink_to_fit();
}

}  // namespace orvik
