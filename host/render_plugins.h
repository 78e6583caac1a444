// The module's handler instances a render drives: the shaders of every
// surface in their listed order, the master and the pixel filter. Whoever
// loads the module and creates the instances fills this; the renderer only
// calls them.
#pragma once

#include <functional>
#include <vector>

#include "sdk/master.h"
#include "sdk/pixel_filter.h"
#include "sdk/shader.h"

namespace orvik::host {

struct ShaderBinding {
  const HostShaderHandler* handler = nullptr;
  HostInstance instance = nullptr;
};

struct RenderPlugins {
  // surfaceShaders[object index][surface index]: the shaders of that
  // surface in their listed order. Missing entries mean no shader.
  std::vector<std::vector<std::vector<ShaderBinding>>> surfaceShaders;

  const HostMasterHandler* master = nullptr;
  HostInstance masterInstance = nullptr;
  const HostPixelFilterHandler* pixelFilter = nullptr;
  HostInstance pixelFilterInstance = nullptr;

  // The host version the module was activated with: from 7 on the shaders
  // answer through the replacement colour, on 6 through the channels.
  int hostVersion = 7;

  // Runs a text command for the master's event access; may be empty.
  std::function<int(const char* command)> command;
  // Told before the instances hear of a new frame, so that the host's
  // services report the frame and time being rendered.
  std::function<void(int frame, double time)> onNewTime;

  const std::vector<ShaderBinding>* shadersOf(size_t object, size_t surface) const {
    if (object >= surfaceShaders.size() || surface >= surfaceShaders[object].size()) return nullptr;
    const auto& list = surfaceShaders[object][surface];
    return list.empty() ? nullptr : &list;
  }
};

}  // namespace orvik::host
