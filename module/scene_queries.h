// Printable item names, bone owners, and the naming scheme by which a scene
// item is written into saved settings and found again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sdk/types.h"

namespace orvik {

// Most same-named items collected when a saved reference is resolved.
inline constexpr int kMaxMatchingItems = 1020;

// Printable name of an item: "(none)" for null, the name for objects,
// lights and cameras, "<bone> of <object>" style names for bones and
// "LW Mystery Item" for anything else. The text lives in a per-thread
// buffer that the thread's next call overwrites.
const char *itemName(HostItemId item);

// First object (in the host's order) whose bone list holds the bone.
HostItemId boneOwner(HostItemId bone);

// Reads and removes a trailing instance number "(n)": trailing blanks are
// removed; when the text then ends in "(digits)", the number is returned
// and the text is cut before "(" (and its trailing blanks removed).
// Otherwise 0 is returned. Numbers too large for a long saturate.
long nameIndex(std::string &text);
// Same, in place on a terminated C string.
long nameIndex(char *text);

// Whether an item name matches a base name: the base is a prefix and the
// name either ends there, or continues with a blank or "(" and is the base
// once its instance number is removed.
bool nameMatches(std::string_view name, std::string_view base);

// What a saved item reference holds.
struct ItemReference {
  std::string baseName;  // the item's name without its instance number
  int type = -1;         // HOST_ITEM_*; -1 for a null item
  HostItemId owner = nullptr;  // the owning object of a bone, else null
  long index = 0;        // the instance number, at least 1
  long count = 0;        // items of the type (and owner) whose names match
};

// Describes an item for saving.
ItemReference describeItem(HostItemId item);
// The same with the output parameters of the classic interface; returns the
// base name.
std::string describeItem(HostItemId item, HostItemId *owner, long *index, long *count);

// Finds a saved reference again: every ".lwo" is removed from the name; the
// items of the type (under `parent` for bones) whose names match are
// collected in the host's order; items added since saving are taken to come
// first. Null when nothing matches.
HostItemId findItem(const char *name, int type, HostItemId parent, long index, long count);

// Copies text with line feeds, carriage returns and blanks escaped as
// %0a, %0d and %20.
std::string escapeText(std::string_view text);
// Bounded form: writes at most outSize - 1 characters and a terminator,
// never cutting an escape in half; returns the characters written.
std::size_t escapeText(const char *text, char *out, std::size_t outSize);

// Monotonic time in seconds with millisecond resolution.
double secondsNow();

}  // namespace orvik
