// The grammar of every control value record, over plain values.
//
// A record is a "BEGIN <KIND> <KEY>" line, value lines and an end line.
// Writers put the indent (one space per depth) before the BEGIN and end lines
// and the indent plus one space before value lines, except NUM's VALUE line
// and item lines, which carry the indent only. Readers are called after the
// block reader has read the BEGIN line; they consume the lines up to and
// including the record's end line, store each value as soon as it is read (so
// a failure keeps what came before) and return null or a message text.
//
// The toolkit's controls reach these through the record operations of
// record_operations.h, which copy a control's values in and out.
#pragma once

#include <cstdint>
#include <vector>

#include "panels/button_control.h"
#include "panels/item_list_control.h"
#include "panels/list_control.h"
#include "panels/numeric_control.h"
#include "persist/item_line.h"
#include "persist/settings_state.h"

namespace orvik {

// Reader messages.
inline constexpr const char* kMsgEndOfFile = "End of File during Load";
inline constexpr const char* kMsgBadToken = "Bad Token on load.";
inline constexpr const char* kMsgNoLine = "Error on load! Couldn't load a line of data!";
inline constexpr const char* kMsgNoSelection = "Cannot find SELECTION data";
inline constexpr const char* kMsgWrongEndName = "Wrong END name on load!";

// The keyword of a mode in ANIMATE lines ("FIXED", "XPOS", ... "LINEAR"); null
// outside 0..10.
const char* AnimateModeKeyword(int mode);
// The mode of a keyword (exact comparison), or -1.
int AnimateModeFromKeyword(const char* keyword);

// NUM: a numeric control's value and its advanced definition.
struct NumRecord {
  double value = 0.0;
  int animateMode = kAnimateFixed;
  double linearRate = 0.0;
  // The references: described items when writing, pending names after reading.
  bool hasReference[2] = {false, false};
  ItemReference reference[2];
  // How a loaded VALUE is limited: the hard limits when their flags are on,
  // then rounding (halves up) for controls that display integers.
  double minimum = 0.0;
  double maximum = 0.0;
  bool clampLow = false;
  bool clampHigh = false;
  bool integerDisplay = false;
};
long WriteNumRecord(SaveState* state, int depth, const char* key, const NumRecord& r);
const char* ReadNumRecord(LoadState* state, NumRecord& r);
// A loaded VALUE after the limits and rounding of r.
double LimitLoadedValue(const NumRecord& r, double value);

// COLOR: three integers, not clamped on reading.
struct ColorRecord {
  int red = 0, green = 0, blue = 0;
};
long WriteColorRecord(SaveState* state, int depth, const char* key, const ColorRecord& r);
const char* ReadColorRecord(LoadState* state, ColorRecord& r);

// STRING: one line of text of up to 255 characters; no record when empty.
constexpr int kStringMaxChars = 255;
struct StringRecord {
  char text[kStringMaxChars + 1] = {};
};
long WriteStringRecord(SaveState* state, int depth, const char* key, const StringRecord& r);
const char* ReadStringRecord(LoadState* state, StringRecord& r);

// IMNAME: an image by its name in the host and its file name (relative to
// the content directory when it lies inside it).
constexpr int kImageFileNameMaxChars = 511;
struct ImageNameRecord {
  char imageName[kStringMaxChars + 1] = {};
  char fileName[kImageFileNameMaxChars + 1] = {};
};
long WriteImageNameRecord(SaveState* state, int depth, const char* key,
                          const ImageNameRecord& r);
// Collects the names until END or the end of data (which is no error).
const char* ReadImageNameRecord(LoadState* state, ImageNameRecord& r);
// The file name as it is stored: fileName with a leading contentDirectory and
// one following separator removed, cut to 511 characters.
void MakeContentRelative(const char* fileName, const char* contentDirectory, char* out,
                         size_t capacity);

// RADIO: a selection among choiceCount choices.
struct RadioRecord {
  int selection = 0;
  int choiceCount = 0;
};
long WriteRadioRecord(SaveState* state, int depth, const char* key, const RadioRecord& r);
const char* ReadRadioRecord(LoadState* state, RadioRecord& r);

// LISTBOX: one flag per row.
constexpr int kListMaxRows = ListControl::kMaxRows;
struct ListBoxRecord {
  uint8_t selected[kListMaxRows] = {};
};
long WriteListBoxRecord(SaveState* state, int depth, const char* key, const ListBoxRecord& r);
// key is the control's own key, which the END LISTBOX line must repeat.
const char* ReadListBoxRecord(LoadState* state, const char* key, ListBoxRecord& r);

// ITEM: a list of scene items. A reader keeps at most 4096 entries, whose
// names (each with its terminating zero, a bone's owner too) fit a pool of
// 4096 bytes; entries beyond either limit are dropped.
constexpr int kMaxItemEntries = ItemListControl::kMaxItems;
constexpr int kItemNamePoolBytes = ItemListControl::kPendingPoolBytes;
struct ItemRecord {
  std::vector<ItemReference> entries;
};
long WriteItemRecord(SaveState* state, int depth, const char* key, const ItemRecord& r);
const char* ReadItemRecord(LoadState* state, ItemRecord& r);
// Pool bytes that ref's names take (each name's length plus one).
int ItemReferencePoolBytes(const ItemReference& ref);

// BUTTON: the state bits (kButtonHighlighted, kButtonChecked).
struct ButtonRecord {
  int state = 0;
};
long WriteButtonRecord(SaveState* state, int depth, const char* key, const ButtonRecord& r);
const char* ReadButtonRecord(LoadState* state, ButtonRecord& r);

}  // namespace orvik
