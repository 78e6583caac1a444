// A working host: its options, the environment its services answer from,
// the loaded module, the scene, the module's instances in the scene and the
// command interpreter, set up in the host's order by one call.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/image_io.h"
#include "host/module_loader.h"
#include "host/scene.h"
#include "host/scene_plugins.h"
#include "host/services.h"
#include "host/services_commands.h"

namespace orvik::host {

// Options every command that loads the module takes.
struct HostOptions {
  std::string modulePath;               // "" = defaultModulePath()
  int activationVersion = 4;            // --host-version
  int productMajor = 7, productMinor = 5, productBuild = 700;  // --product
  HostModuleKind kind = HostModuleKind::Layout;  // --modeler, --render-node
  std::vector<std::string> without;     // --without NAME
  std::string answersFile;              // --answers FILE
  bool confirm = true;                  // --answer yes|no
  bool interactive = false;             // --interactive
  bool quiet = false;                   // --quiet: module messages not echoed
  bool privateModuleCopy = false;       // tests: fresh module state
};

// Help text of the options above, for --help of each command.
extern const char* const kHostOptionsHelp;

// Consumes the host option at args[i] (and its value); returns true when it
// was one. On a bad value sets error.
bool parseHostOption(const std::vector<std::string>& args, std::size_t& i, HostOptions& options,
                     std::string& error);

class HostSession {
 public:
  HostSession() = default;
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // Sets the environment up from the options and loads the module. Returns
  // "" or the error.
  std::string start(const HostOptions& options);
  // Takes a scene (already read), publishes it to the services, loads its
  // images and creates the module's instances for it. Returns "" or the error.
  std::string useScene(Scene scene);
  // The same for a scene the caller keeps (it must outlive the session).
  std::string attachScene(Scene& scene);
  // The scene the services report and the instances belong to.
  Scene& current() { return *current_; }

  HostEnvironment env;
  Scene scene;
  std::unique_ptr<LoadedModule> module;
  std::unique_ptr<ScenePlugins> plugins;
  std::unique_ptr<CommandInterpreter> commands;
  ScenePlugins::CreateSummary created;
  // What the "RenderFrame" command rendered last, and how many frames it did.
  ImageBuffer lastRender;
  int framesRendered = 0;
  int renderThreads = 0;  // 0: one per core

 private:
  Scene* current_ = &scene;
};

}  // namespace orvik::host
