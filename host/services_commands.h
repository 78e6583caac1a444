// The host's text commands, as the command service, the generic commands
// and the master's event access run them: a small Layout-style language.
//
//   ApplyServer CLASS NAME     add a scene-wide handler (MasterHandler, PixelFilterHandler)
//   Surf_AddShader NAME        add a shader to the surface current in the surface editor
//   Surf_RemShader NAME        remove it again
//   SelectByName NAME          select one item (object, light, camera or bone) by name
//   AddToSelection NAME        add an item to the selection
//   ClearSelection             select nothing
//   GoToFrame N                make frame N current (the master hears the time change)
//   AutoConfirm 0|1            answer the module's questions with OK (1) or ask (0)
//   ImageEditor 0|1            accepted; the host has no image editor window
//   RenderFrame                render the current frame (when a renderer is attached)
//   Refresh, Redraw            accepted, nothing to redraw
//   NAME                       run the generic-command server NAME of the module
//
// Every command is recorded in HostEnvironment::commands and, once done,
// handed to the master as a command event.
#pragma once

#include <functional>
#include <string>

#include "host/scene_plugins.h"
#include "host/services.h"

namespace orvik::host {

class CommandInterpreter {
 public:
  CommandInterpreter(HostEnvironment& env, ScenePlugins& plugins);
  ~CommandInterpreter();  // detaches from the environment

  // Runs one command; non-zero when it was understood and done. Also what
  // the environment's command handler calls.
  int execute(const std::string& command);

  // Renders the current frame for "RenderFrame"; returns non-zero on success.
  std::function<int(int frame)> renderFrame;

  // A message line for the last refused command ("" after success).
  const std::string& lastError() const { return lastError_; }

 private:
  int dispatch(const std::string& verb, const std::string& rest);
  ItemId findAnyItem(const std::string& name) const;

  HostEnvironment& env_;
  ScenePlugins& plugins_;
  std::string lastError_;
  bool autoConfirm_ = false;
  bool savedConfirm_ = true;
};

}  // namespace orvik::host
