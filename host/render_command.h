// `orvik render`: renders a scene file to PNG or EXR images.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/cli_session.h"
#include "host/render_plugins.h"
#include "host/scene.h"

namespace orvik::host {

// The module's part of a render: whoever loads the module creates the
// instances of the scene's shaders, master and pixel filter and keeps them
// alive as long as the session object lives.
class RenderSession {
 public:
  virtual ~RenderSession() = default;
  RenderPlugins plugins;
  // The scene the session's services report, rendered in place of the one
  // handed to the factory when set.
  Scene* scene = nullptr;
};

// Makes the session for a loaded scene; null with `error` set when the
// module cannot be used (the render then stops). May be empty: every
// surface then gets the host's plain shading.
using RenderSessionFactory =
    std::function<std::unique_ptr<RenderSession>(Scene& scene, std::string& error)>;

// Options of one `orvik render` call.
struct RenderCommandOptions {
  std::string scenePath;
  std::string outputPath;   // empty: the scene's name with .png, in the current folder
  int firstFrame = 0, lastFrame = 0;
  bool framesGiven = false;
  int threads = 0;
  int width = 0, height = 0;  // 0: the scene's own size
  uint32_t seed = 0;
  bool plain = false;         // host shading only, the module is not loaded
  bool quiet = false;
  bool stats = false;         // print the rays of each frame by kind
  bool help = false;
  HostOptions host;           // how the module is loaded and what the host reports
};

// The module loaded the host's way for a render of `scene` (moved into the
// session): environment, activations and the instances of the scene's
// shaders, master and pixel filter. Null with `error` set on failure.
std::unique_ptr<RenderSession> openModuleRenderSession(Scene& scene, const HostOptions& options,
                                                       std::string& error);

// Parses the arguments after "render". Returns "" or a message saying what
// is wrong with which argument.
std::string parseRenderArguments(int argc, char** argv, RenderCommandOptions& options);

// The file a frame is written to: the output path itself for a single
// frame, else the name with the frame number before the extension
// ("out.png" -> "out_0003.png").
std::string frameOutputPath(const std::string& output, int frame, bool severalFrames);

// The usage text of --help.
std::string renderUsage();

// Runs the command; argv[0] is "render" (or the program name). Without a
// factory the module is loaded by openModuleRenderSession (unless --plain).
// Returns the process exit code: 0 done, 1 failure, 2 bad arguments.
int runRenderCommand(int argc, char** argv, const RenderSessionFactory& factory = {});

}  // namespace orvik::host
