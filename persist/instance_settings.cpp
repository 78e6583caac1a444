#include "persist/instance_settings.h"

#include "panels/panel.h"
#include "panels/toolkit_host.h"
#include "persist/record_operations.h"
#include "persist/settings_block.h"
#include "persist/settings_file.h"
#include "persist/settings_text.h"

namespace orvik {

namespace {

// Refresh flags of a label after replaced settings (layout and draw only).
constexpr int kLabelRefreshFlags = 24;
constexpr int kPositionTextBytes = 128;

// The clip and file hooks are in place before the first panel is built: the
// toolkit copies them into each new cut/paste pair and panel.
const bool kSettingsHooksInstalled = (InstallSettingsHooks(), true);

Panel* InstancePanel(void* instance) { return *static_cast<Panel**>(instance); }

bool IsPanelHeader(const Panel* panel) {
  return panel != nullptr && panel->IsValid() && panel->kind == kKindPanel;
}

}  // namespace

const char* SavePanelSettings(Panel* panel, SaveState* state) {
  if (panel == nullptr) return kMsgNoInstance;
  if (!IsPanelHeader(panel)) return kMsgInvalidAtSave;
  RunPendingAfterLoad(panel);
  InstallPanelRecordOperations(panel);
  return WriteSettingsBlock(state, panel->blockName, panel->settingsVersion, panel);
}

const char* SaveInstanceSettings(void* instance, SaveState* state) {
  if (instance == nullptr) return kMsgNoInstance;
  return SavePanelSettings(InstancePanel(instance), state);
}

const char* LoadPanelSettings(Panel* panel, LoadState* state) {
  ResetParsePosition();
  if (panel == nullptr) return kMsgNoInstance;
  if (!IsPanelHeader(panel)) return kMsgInvalidAtLoad;
  InstallPanelRecordOperations(panel);
  return ReadSettingsBlock(state, panel);
}

const char* LoadSettingsFromText(void* instance, LoadState* state) {
  if (instance == nullptr) {
    ResetParsePosition();
    return kMsgNoInstance;
  }
  return LoadPanelSettings(InstancePanel(instance), state);
}

void FinishSettingsLoad(Panel* panel, const char* message) {
  if (message != nullptr) {
    char position[kPositionTextBytes];
    FormatParsePosition(position, sizeof position);
    HostError(message, position);
  }
  if (IsPanelHeader(panel)) panel->loadPending = 1;
}

const char* LoadInstanceSettings(void* instance, LoadState* state) {
  const char* message = LoadSettingsFromText(instance, state);
  FinishSettingsLoad(instance != nullptr ? InstancePanel(instance) : nullptr, message);
  return nullptr;
}

void ApplyReplacedSettings(Panel* panel) {
  if (!IsPanelHeader(panel)) return;
  RunPendingAfterLoad(panel);
  if (panel->onSettingsReplaced != nullptr) panel->onSettingsReplaced(panel);
  for (Control* c = panel->next; c != nullptr; c = c->next) {
    if (c->active.get() == 0) continue;
    RefreshControl(c, c->kind == kKindLabel ? kLabelRefreshFlags : kRefreshAll);
  }
}

}  // namespace orvik
