// The headless window backend: no display, an in-memory queue of the
// messages posted to each panel, and the focus kept in the panel record.
// Unit tests and batch runs use it; the window layer's real backends share
// the same WindowBackend slots.
#pragma once

#include <cstdint>
#include <vector>

#include "panels/panel.h"

namespace orvik {

struct PostedMessage {
  Panel* panel;
  unsigned code;
  uintptr_t param1;
  intptr_t param2;
};

// Makes the headless backend the toolkit's window backend.
void InstallHeadlessBackend();

// Gives a panel a stand-in window so that posts reach the queue (and takes
// it away again). A panel without a window receives no posts.
void OpenHeadlessWindow(Panel* panel);
void CloseHeadlessWindow(Panel* panel);

// Takes (and removes) the messages posted to the panel so far, oldest first.
std::vector<PostedMessage> TakePostedMessages(Panel* panel);

// Delivers the panel's queued messages to its records, as a message loop
// would. Returns how many were delivered.
int PumpHeadlessMessages(Panel* panel);

}  // namespace orvik
