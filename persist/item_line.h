// The scene-item line that numeric references and item lists embed:
//   OBJECT|LIGHT|CAMERA <clone index> <count> <name length> @<base name>
// and a bone as two lines, PARENT for the object that owns it, then BONE.
#pragma once

#include <cstddef>

#include "panels/numeric_control.h"  // ItemType
#include "persist/settings_state.h"

namespace orvik {

constexpr int kItemNameMaxChars = 255;
constexpr long kMaxCloneIndex = 4096;
constexpr long kMaxCloneCount = 32766;

// One item as the settings text names it: its base name (clone suffix
// removed), its clone index among same-named items and their count.
struct ItemName {
  int type = kItemObject;
  long cloneIndex = 1;
  long count = 1;
  char name[kItemNameMaxChars + 1] = {};
};

// A saved reference: the item, and for a bone the object that owns it.
struct ItemReference {
  ItemName item;
  bool hasParent = false;
  ItemName parent;  // type object; set for bones only
};

// Writes the item line(s) of ref with the given indent (a bone with an owner
// as a PARENT and a BONE line, a bone without one as the BONE line alone).
// Returns the bytes handed to the state.
long WriteItemLine(SaveState* state, const char* indent, const ItemReference& ref);

// Parses one item line. Word 1 selects the type by prefix ("PARENT" and
// "BONE" 3, "OBJECT" 0, "LIGHT" 1, "CAMERA" 2, else 0); words 2 and 3 are the
// clone index and count read as 16-bit numbers (below 2 gives 1, at most 4096
// and 32766); the name follows the first '@', cut to word 4's count, to the
// characters present, to 255 and to nameCapacity - 1. Returns the name's
// length plus one, or 0 when the line is refused (a word or the '@' missing);
// nothing is stored then.
int ParseItemLine(const char* line, char* nameOut, size_t nameCapacity, long* cloneOut,
                  long* countOut, int* typeOut);
int ParseItemLine(const char* line, ItemName& out);

// True when word 1 of the line is "PARENT": a bone line follows it.
bool IsParentItemLine(const char* line);

}  // namespace orvik
