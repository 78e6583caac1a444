// The master as the module's listener for host events. This part keeps the
// record of the last event, clears the source-light flag, keeps the pixel
// filter applied and finishes pending loads; preview runs, scrubbing and
// preview refreshes after scene edits come with the preview windows.
#pragma once

namespace orvik {

struct MasterInstance;

// Event codes of the host.
enum MasterEventCode : int { kEventCommand = 1, kEventTimeChange = 2 };

// Sends a text command to the host.
using HostCommandSender = int (*)(void* data, const char* command);

// Handles one host event; command is the command text for a command event.
void handleMasterEvent(MasterInstance* m, int code, const char* command, HostCommandSender send, void* sendData);

// The last event's command (at most 127 characters), or the placeholder for events without one.
const char* lastEventText();
inline constexpr const char* kNoCommandText = "(no command)";
inline constexpr int kLastEventCapacity = 127;

}  // namespace orvik
