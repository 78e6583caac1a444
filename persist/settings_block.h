// The frame of an instance's settings block and the dispatch of its records
// to the controls of a chain:
//
//   BEGIN MORVANE_PLUGIN <block name>
//   # <build comment>
//   # Saved <date>
//   VERSION <settings version>
//    <one record per persistent control>
//   END MORVANE_PLUGIN <block name>
//
// The block always totals an even number of bytes: when it would be odd, the
// end line carries one trailing space, which readers ignore.
#pragma once

#include "persist/settings_state.h"

namespace orvik {

struct Control;

inline constexpr const char* kBlockKeyword = "MORVANE_PLUGIN";
inline constexpr const char* kProductName = "Orvik";
inline constexpr const char* kProductVersionText = "1.5";

// Messages of saving and loading a block.
inline constexpr const char* kMsgNoInstance = "No instance data at save!";
inline constexpr const char* kMsgInvalidAtSave = "Invalid Instance Data at Save!";
inline constexpr const char* kMsgBadVersion = "Version <=0.0!";
inline constexpr const char* kMsgInvalidAtLoad = "Invalid Instance Data at Load!";
inline constexpr const char* kMsgNothingLoaded = "I couldn't load any information from the file.";
inline constexpr const char* kMsgNoFirstLine =
    "I couldn't find any data in the first line of the file.";
inline constexpr const char* kMsgWrongFileType = "This doesn't look like the right type of file.";
inline constexpr const char* kMsgNotSaveFile = "This doesn't look like a proper save file";
inline constexpr const char* kMsgBrokenSaveFile = "This looks like a broken save file.";
inline constexpr const char* kMsgCorruptedSaveFile = "This save file is corrupted.";
inline constexpr const char* kMsgNoLineB = "Error on load! Couldn't load a line of data! B";
inline constexpr const char* kMsgBadTokenC = "Bad Token on load. C";
inline constexpr const char* kMsgBadTokenD = "Bad Token on load. D";
inline constexpr const char* kMsgNoLineC = "Error on load! Couldn't load a line of data! C";
inline constexpr const char* kMsgBadTokenG = "Bad Token on load. G";

// Writes a whole block: the header, then the record of every control from
// `chain` on (in chain order) that has saveRecord and is persistent, at depth
// 1, then the end line. Returns null, or a message when the version is not
// above 0 (the three header lines stay written). *bytesOut, when given,
// receives the bytes handed to the state.
const char* WriteSettingsBlock(SaveState* state, const char* blockName, double settingsVersion,
                               Control* chain, long* bytesOut = nullptr);

// Writes a block with depth-0 records of the controls first..last (in chain
// order, both included), for each range; used for clips.
struct ControlSpan {
  Control* first;
  Control* last;
};
long WriteClipBlock(SaveState* state, const char* blockName, double settingsVersion,
                    const ControlSpan* spans, int spanCount);

// Reads a block, handing each record to the first control of `chain` whose
// key equals the record's key exactly. Resets the parse position first.
// Returns null on success (also when the data ends without an end line), or
// the message of the failure; values read before it stay in the controls.
const char* ReadSettingsBlock(LoadState* state, Control* chain);

}  // namespace orvik
