// The master as the module's listener for host events: it keeps the pixel
// filter applied, finishes pending loads, drives preview render runs frame
// by frame, follows scrubbing, and keeps previews in step with scene edits.
#pragma once

#include "panels/control.h"

namespace orvik {

struct MasterInstance;
struct PreviewWindow;

// Event codes of the host.
enum MasterEventCode : int { kEventCommand = 1, kEventTimeChange = 2 };

// Sends a text command to the host.
using HostCommandSender = int (*)(void* data, const char* command);

// What the event handling needs of the preview windows and of the module.
// The owners fill it; every slot may be empty.
struct MasterEventHooks {
    // Walking the module's preview windows (the list head is in the registry).
    PreviewWindow* (*nextWindow)(PreviewWindow* w) = nullptr;
    bool (*renderMarked)(PreviewWindow* w) = nullptr;
    void (*setRenderMark)(PreviewWindow* w, bool marked) = nullptr;
    int (*cameraCount)(PreviewWindow* w) = nullptr;
    ItemHandle (*camera)(PreviewWindow* w) = nullptr;  // the first camera of its list
    double (*frame)(PreviewWindow* w) = nullptr;
    // A window in "Use Scrub" mode whose panel is open takes the frame: its
    // frame value, its frame control redrawn, its store re-attached.
    bool (*followsScrub)(PreviewWindow* w) = nullptr;
    void (*takeScrubFrame)(PreviewWindow* w, long frame) = nullptr;

    void (*hidePreviews)() = nullptr;              // "ImageEditor 1"
    void (*toggleHideAll)() = nullptr;             // "HideWindow": the module's hide/unhide toggle
    void (*raiseHostWindow)() = nullptr;           // then the host's window to the front
    void (*refreshItemNames)() = nullptr;          // item names of preview and pixel-information windows
    void (*refreshLightFilterLabels)() = nullptr;  // every preview window's light-filter label
    void (*redrawPreviews)() = nullptr;            // every preview window's display

    // Host facts; when empty they come from the host's services.
    double (*currentTime)() = nullptr;                 // "LW Interface Info"
    ItemHandle (*renderCamera)(double time) = nullptr;  // "LW Scene Info 2"
    int (*hostMajorVersion)() = nullptr;
};
void setMasterEventHooks(const MasterEventHooks& hooks);

// Handles one host event; command is the command text for a command event.
void handleMasterEvent(MasterInstance* m, int code, const char* command, HostCommandSender send, void* sendData);

// Starts a preview render run: marks every window with exactly one camera,
// asks the host to confirm automatically, remembers the selected item.
// The caller has checked that the master, the pixel filter and a window exist.
void beginPreviewRun(MasterInstance* m, ItemHandle selected, HostCommandSender send, void* sendData);
// The item that was selected when the run started; forgotten when it ends.
ItemHandle previewRunSelection();

// The last event's command (at most 127 characters), or the placeholder.
const char* lastEventText();
inline constexpr const char* kNoCommandText = "(no command)";
inline constexpr int kLastEventCapacity = 127;

// Whether a command leaves previews alone (one of the ignored prefixes).
bool isIgnoredCommand(const char* command);

}  // namespace orvik
