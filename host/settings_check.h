// `orvik settings check`: a settings file (or the settings block of a scene)
// loaded into a scratch panel of the module, and the module's messages.
#pragma once

#include <string>
#include <vector>

#include "host/cli_session.h"

namespace orvik::host {

// Which of the module's panels takes the text.
enum class ScratchPanel { Surface, Master };

struct SettingsCheck {
  bool started = false;               // a scratch instance took the text
  std::string error;                  // why not, when !started
  std::vector<HostMessage> messages;  // what the module showed while loading
  std::string resaved;                // the instance's settings saved again
  // Loaded without any message of the module.
  bool clean() const { return started && messages.empty(); }
};

// Creates a scratch instance of the module's "Orvik" shader (or master)
// in an empty scene of the session, loads `text` through the module's load
// callback with a host load state over it, and saves the instance again (so
// that the after-load steps run). The session must be started.
SettingsCheck checkSettingsText(HostSession& session, const std::string& text, ScratchPanel panel);

// The settings block a scene text holds for the panel: the master's block,
// or that of the first "Orvik" shader (of the surface named `surface`, when
// given). Returns false with the reason in `error`. `where` names the block.
bool sceneSettingsBlock(const std::string& sceneText, const std::string& fileName, ScratchPanel panel,
                        const std::string& surface, std::string& block, std::string& where, std::string& error);

// orvik settings check FILE [--master] [--surface NAME] [host options].
int runSettingsCommand(const std::vector<std::string>& args);

}  // namespace orvik::host
