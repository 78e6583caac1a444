// The module's servers at work in a scene: activated handler records, and
// the instances the host keeps for it (the shaders of every surface in their
// listed order, the scene-wide master and pixel filter), created, loaded
// from and saved to the scene's settings text through save and load states.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/module_loader.h"
#include "host/render_plugins.h"
#include "host/scene.h"
#include "host/services.h"
#include "sdk/orvik_sdk.h"

namespace orvik::host {

// A save state that collects the written lines, and a load state that reads
// a text back byte by byte, as the host's scene files do.
class SettingsWriter {
 public:
  SettingsWriter();
  const HostSaveState* state() const { return &state_; }
  // The lines written so far, joined by '\n'.
  std::string text() const;

 private:
  static void write(void* data, const char* text, int length);
  HostSaveState state_{};
  std::vector<std::string> lines_;
};

class SettingsReader {
 public:
  explicit SettingsReader(std::string text);
  const HostLoadState* state() const { return &state_; }

 private:
  static int read(void* data, char* buffer, int length);
  HostLoadState state_{};
  std::string text_;
  std::size_t pos_ = 0;
};

struct ActivationResult {
  std::string serverClass;
  std::string name;
  int code = 0;
};

class ScenePlugins {
 public:
  // The environment must be active and report `scene`.
  ScenePlugins(const LoadedModule& module, HostEnvironment& env, Scene& scene);
  ~ScenePlugins();  // destroys every instance, newest first
  ScenePlugins(const ScenePlugins&) = delete;
  ScenePlugins& operator=(const ScenePlugins&) = delete;

  // Activates a handler server once and keeps its record; later calls give
  // the first result again. Returns the activation code (-1: no such server).
  int activateHandler(const std::string& serverClass, const std::string& name);
  const std::vector<ActivationResult>& activations() const { return activations_; }

  // Creates an instance for every enabled shader of every surface whose
  // server the module serves, and for the scene's plug-in blocks, loading
  // their settings text. Failures are shown as host messages and counted.
  struct CreateSummary {
    int shaders = 0;
    int scenePlugins = 0;
    int failures = 0;
  };
  CreateSummary createInstances();

  // What the host's commands do.
  int applyServer(const std::string& serverClass, const std::string& name);
  int addShader(std::size_t object, std::size_t surface, const std::string& server);
  int removeShader(std::size_t object, std::size_t surface, const std::string& server);

  // Writes every instance's settings back into the scene (shader settings
  // and plug-in blocks). Returns "" or the first error the module reported.
  std::string saveSettings();

  // The shader instance of a surface's listed shader, or null.
  HostInstance shaderInstance(std::size_t object, std::size_t surface, std::size_t index) const;
  HostInstance masterInstance() const { return master_.instance; }
  HostInstance pixelFilterInstance() const { return pixelFilter_.instance; }
  const HostMasterHandler* masterHandler() const { return master_.handler; }
  const HostPixelFilterHandler* pixelFilterHandler() const { return pixelFilter_.handler; }
  int shaderInstanceCount() const;

  // Sends a master event (command text or time change) to the master, if any.
  void masterEvent(int code, const char* commandText);

  // Runs a generic-command server (LayoutGeneric) or an interface server
  // for an instance; returns the activation code (-1: no such server).
  int runGeneric(const std::string& name);
  int openInterface(const std::string& serverClass, const std::string& name, HostInstance inst, ItemId item);

  // The description line of an instance of a handler class (for listings).
  std::string describeShader(std::size_t object, std::size_t surface, std::size_t index) const;

  // The records a render drives.
  RenderPlugins renderPlugins() const;

 private:
  struct ShaderSlot {
    std::string server;
    const HostShaderHandler* handler = nullptr;
    HostInstance instance = nullptr;
  };
  template <class Handler>
  struct Global {
    std::string server;
    const Handler* handler = nullptr;
    HostInstance instance = nullptr;
  };

  HostInstance create(const HostInstanceFuncs& funcs, void* context, const std::string& what);
  void load(const HostInstanceFuncs& funcs, HostInstance inst, const std::string& text, const std::string& what);
  std::vector<ShaderSlot>& slots(std::size_t object, std::size_t surface);
  void destroyAll();
  void finishSceneLoad();
  static int commandThunk(void* data, const char* command);

  const LoadedModule& module_;
  HostEnvironment& env_;
  Scene& scene_;
  // Handler records by "Class Name"; unique_ptr keeps addresses stable.
  std::map<std::string, std::unique_ptr<HostShaderHandler>> shaderHandlers_;
  std::map<std::string, std::unique_ptr<HostMasterHandler>> masterHandlers_;
  std::map<std::string, std::unique_ptr<HostPixelFilterHandler>> filterHandlers_;
  std::map<std::string, std::unique_ptr<HostFrameBufferHandler>> bufferHandlers_;
  std::map<std::string, int> activationCodes_;
  std::vector<ActivationResult> activations_;
  std::vector<std::vector<std::vector<ShaderSlot>>> shaders_;  // [object][surface][index]
  Global<HostMasterHandler> master_;
  Global<HostPixelFilterHandler> pixelFilter_;
  // Every live instance with the record that destroys it, oldest first.
  std::vector<std::pair<const HostInstanceFuncs*, HostInstance>> created_;
  int eventDepth_ = 0;
};

}  // namespace orvik::host
