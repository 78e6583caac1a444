// Whole panels written to and read from files chosen with the host's file
// requester, and kept in the module-wide memory slot (Shift-clicks on the
// panel's "P_S" and "P_L" decorations). Files hold the block exactly as a
// scene file would, every line ending in CR LF.
#pragma once

#include <cstddef>
#include <string>

#include "panels/control.h"

namespace orvik {

struct Panel;

// Settings files and the memory slot are written into a buffer of this size
// and read from one (at most one byte less).
constexpr size_t kSettingsFileBufferBytes = 100000;
constexpr size_t kFileRequestResultChars = 1023;

inline constexpr const char* kMsgNoRamToSave = "Not enough RAM to save settings";
inline constexpr const char* kMsgNoRamToLoad = "Not enough RAM to load settings";
inline constexpr const char* kMsgSettingsTooLarge = "These settings are too large to save.";
inline constexpr const char* kMsgCannotWriteFile = "I couldn't write the settings file.";
inline constexpr const char* kMsgCannotReadFile = "I couldn't open the settings file.";
inline constexpr const char* kSaveRequestTitle = "Write plugin data to file";
inline constexpr const char* kLoadRequestTitle = "Load plugin data from file";

// The "P_S" click hook (c: the button; Shift per its click modifiers).
void SaveSettingsFile(Control* c);
// The "P_L" click hook.
void LoadSettingsFile(Control* c);

// Writes the panel's block to a file / reads a block from one. Failures are
// shown through the host's error function; true on success.
bool WriteSettingsFile(Panel* panel, const char* path);
bool ReadSettingsFile(Panel* panel, const char* path);

// The file requester's shared name field (initially "*.*"), given the
// direction mark of the next request ('>' to save, '<' to load).
std::string SharedSettingsFileName();
void ResetSharedSettingsFileName();

// Gives the toolkit its clip and file hooks: the Copy and Paste buttons of
// every cut/paste pair and the "P_S" and "P_L" buttons of every panel. Done
// once when the module is loaded; calling it again does no harm.
void InstallSettingsHooks();

}  // namespace orvik
