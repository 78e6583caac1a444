// The module-wide stores that settings travel through between panels: the
// clips of cut/paste pairs (newest first, by key) and the single memory slot
// that a Shift-click on a panel's "P_S" fills. Both are shared by every panel
// thread, so every access takes the store's lock; readers get a copy.
#pragma once

#include <cstddef>
#include <vector>

namespace orvik {

// Clip keys are compared on at most this many characters.
constexpr size_t kClipKeyCompareChars = 235;
// The memory slot's block name is compared on at most this many characters.
constexpr size_t kSlotNameCompareChars = 1024;

void DeleteClips(const char* key);
// Stores a new clip under key (in front of any older one).
void StoreClip(const char* key, const char* bytes, size_t size);
// Copies the newest clip of key into out; false when there is none.
bool CopyClip(const char* key, std::vector<char>& out);
bool HasClip(const char* key);
void ClearClipStore();

// The memory slot: its text (terminated) and the block name of its panel.
void StoreMemorySlot(const char* blockName, const char* bytes, size_t size);
bool MemorySlotHolds(const char* blockName);
// Copies the slot's text, its terminating zero included; false when the slot
// is empty or holds another block name's settings.
bool CopyMemorySlot(const char* blockName, std::vector<char>& out);
void ClearMemorySlot();

}  // namespace orvik
