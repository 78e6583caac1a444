#include "host/cli.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "host/cli_session.h"
#include "host/demo.h"
#include "host/import.h"
#include "host/render_command.h"
#include "host/resave.h"
#include "host/settings_check.h"

namespace orvik::host {

namespace {

const char* const kMainHelp =
    "Usage: orvik COMMAND [options]\n"
    "\n"
    "The reference host of the Orvik shading module.\n"
    "\n"
    "Commands:\n"
    "  servers   load the module and list its servers with the result of each activation\n"
    "  check     read scene or mesh files and report what they hold or what is wrong\n"
    "  demo      load the module and the built-in demo scene, create its shaders, render it\n"
    "  render    render a scene (.orvs, .lws or a mesh file) to PNG or EXR\n"
    "  run       run host commands on a scene, from a script or typed at a prompt\n"
    "  resave    load a scene with the module's settings and write it again through the module\n"
    "  settings  'settings check FILE': load a settings file into a scratch panel, show the messages\n"
    "\n"
    "Run 'orvik COMMAND --help' for the options of a command.\n";

const char* const kServersHelp =
    "Usage: orvik servers [--all] [host options]\n"
    "\n"
    "Loads the module, checks its descriptor and lists its servers (class, name, user\n"
    "name) with the code each activation returned: 0 ok, 1 bad version, 4 wrong host\n"
    "application, 10-19 a missing host service. Handlers are activated the way the host\n"
    "does when it loads a module; interface and command servers open windows or change\n"
    "the scene, so they run only with --all.\n"
    "\n";

const char* const kRunHelp =
    "Usage: orvik run [SCENE] [--script FILE] [--save OUT.orvs] [host options]\n"
    "\n"
    "Loads the module and SCENE (default: the built-in demo), creates the module's\n"
    "instances, then runs host commands one a line, from FILE or from standard input\n"
    "(with a prompt when it is a terminal). Lines starting with # are comments.\n"
    "Each command's result is printed; the module's generic commands run by their\n"
    "server name (Orvik_Add_To_All, Orvik_Open_Master, ...). Host commands:\n"
    "  ApplyServer CLASS NAME, Surf_AddShader NAME, Surf_RemShader NAME,\n"
    "  SelectByName NAME, AddToSelection NAME, ClearSelection, GoToFrame N,\n"
    "  AutoConfirm 0|1, ImageEditor 0|1, RenderFrame, Refresh, Redraw.\n"
    "Also: 'Surface OBJECT SURFACE' makes a surface current, as the surface editor\n"
    "does. With --save the scene and the module's settings are written afterwards.\n"
    "The exit status is 1 when a command failed.\n"
    "\n";

const char* const kCheckHelp =
    "Usage: orvik check FILE...\n"
    "\n"
    "Reads each scene (.orvs, .lws) or mesh file (.lwo, .obj, .gltf, ...) with the\n"
    "meshes and images it names and prints a summary. A file that cannot be read is\n"
    "reported as file:line: what is wrong, and the exit status is 1.\n";

std::string codeMeaning(int code) {
  switch (code) {
    case HOST_AFUNC_OK: return "ok";
    case HOST_AFUNC_BADVERSION: return "bad version";
    case HOST_AFUNC_BADGLOBAL: return "no global-service function";
    case HOST_AFUNC_BADAPP: return "wrong host application";
    case HOST_AFUNC_NO_ITEM_INFO: return "missing \"" HOST_ITEM_INFO_NAME "\"";
    case HOST_AFUNC_NO_OBJECT_INFO: return "missing \"" HOST_OBJECT_INFO_NAME "\"";
    case HOST_AFUNC_NO_BONE_INFO: return "missing \"" HOST_BONE_INFO_NAME "\"";
    case HOST_AFUNC_NO_LIGHT_INFO: return "missing \"" HOST_LIGHT_INFO_NAME "\"";
    case HOST_AFUNC_NO_CAMERA_INFO: return "missing \"" HOST_CAMERA_INFO_NAME "\"";
    case HOST_AFUNC_NO_IMAGE_LIST: return "missing \"" HOST_IMAGE_LIST_NAME "\"";
    case HOST_AFUNC_NO_MESSAGES: return "missing \"" HOST_INFO_MESSAGES_NAME "\"";
    case HOST_AFUNC_NO_DIRECTORY: return "missing \"" HOST_DIRECTORY_INFO_NAME "\"";
    case HOST_AFUNC_NO_SURFACE_FUNCS: return "missing \"" HOST_SURFACE_FUNCTIONS_NAME "\"";
    case -1: return "the activation threw or does not exist";
    default: return "failure";
  }
}

const char* kindName(HostModuleKind k) {
  switch (k) {
    case HostModuleKind::Layout: return "Layout";
    case HostModuleKind::Modeler: return "Modeler";
    case HostModuleKind::RenderNode: return "render node";
  }
  return "?";
}

bool wantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

bool isHandlerClass(const std::string& cls) {
  return cls == HOST_CLASS_SHADER_HANDLER || cls == HOST_CLASS_MASTER_HANDLER ||
         cls == HOST_CLASS_PIXEL_FILTER_HANDLER || cls == HOST_CLASS_FRAME_BUFFER_HANDLER;
}

}  // namespace

int runServersCommand(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kServersHelp << kHostOptionsHelp;
    return 0;
  }
  HostOptions options;
  bool all = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] == "--all") {
      all = true;
    } else if (!parseHostOption(args, i, options, error)) {
      std::cerr << "orvik servers: unknown option '" << args[i] << "' (see orvik servers --help)\n";
      return 2;
    }
    if (!error.empty()) {
      std::cerr << "orvik servers: " << error << "\n";
      return 2;
    }
  }
  HostSession session;
  const std::string err = session.start(options);
  if (!err.empty()) {
    std::cerr << "orvik servers: " << err << "\n";
    return 1;
  }
  const HostEnvironment& env = session.env;
  std::printf("module  %s\n", session.module->path().c_str());
  std::printf("host    %s, product %d.%d build %d, interface version %d\n", kindName(env.kind), env.productMajor,
              env.productMinor, env.productBuild, env.activationVersion);
  std::printf("\n%-3s %-22s %-27s %-28s %s\n", "#", "class", "name", "user name", "activation");
  int index = 0;
  for (const ServerEntry& s : session.module->servers()) {
    int code = 0;
    bool ran = true;
    if (isHandlerClass(s.serverClass))
      code = session.plugins->activateHandler(s.serverClass, s.name);
    else if (!all)
      ran = false;
    else if (s.serverClass == HOST_CLASS_LAYOUT_GENERIC)
      code = session.plugins->runGeneric(s.name);
    else
      code = session.plugins->openInterface(s.serverClass, s.name, nullptr, kNoItem);
    const std::string result = ran ? std::to_string(code) + " " + codeMeaning(code) : "- not run (see --all)";
    std::printf("%-3d %-22s %-27s %-28s %s\n", index++, s.serverClass.c_str(), s.name.c_str(),
                s.userName.empty() ? "-" : s.userName.c_str(), result.c_str());
  }
  std::fflush(stdout);
  return 0;
}

int runCheckCommand(const std::vector<std::string>& args) {
  if (wantsHelp(args) || args.empty()) {
    std::cout << kCheckHelp;
    return args.empty() ? 2 : 0;
  }
  int status = 0;
  for (const std::string& file : args) {
    SceneReadResult r = importSceneFile(file);
    if (!r.ok) {
      std::cerr << r.error << "\n";
      status = 1;
      continue;
    }
    HostEnvironment env;
    env.echoMessages = false;
    env.setScene(&r.scene);
    const std::string imageError = env.loadSceneImages();
    if (!imageError.empty()) {
      std::cerr << file << ": " << imageError << "\n";
      status = 1;
      continue;
    }
    const Scene& s = r.scene;
    std::size_t triangles = 0, shaders = 0;
    for (const Object& o : s.objects) {
      triangles += o.mesh.triangles.size();
      for (const Surface& sf : o.surfaces) shaders += sf.shaders.size();
    }
    std::printf("%s: %zu objects (%zu triangles from meshes), %zu lights, %zu cameras, %zu bones, %zu images, "
                "%zu shaders, frames %d-%d at %g fps, %dx%d\n",
                file.c_str(), s.objects.size(), triangles, s.lights.size(), s.cameras.size(), s.bones.size(),
                s.images.size(), shaders, s.render.firstFrame, s.render.lastFrame, s.render.fps, s.render.width,
                s.render.height);
  }
  return status;
}

int runRunCommand(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kRunHelp << kHostOptionsHelp;
    return 0;
  }
  HostOptions options;
  std::string scenePath, scriptPath, savePath;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    const std::string& a = args[i];
    if ((a == "--script" || a == "--save") && i + 1 >= args.size()) {
      std::cerr << "orvik run: " << a << " needs a file\n";
      return 2;
    }
    if (a == "--script") {
      scriptPath = args[++i];
    } else if (a == "--save") {
      savePath = args[++i];
    } else if (parseHostOption(args, i, options, error)) {
      if (!error.empty()) {
        std::cerr << "orvik run: " << error << "\n";
        return 2;
      }
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "orvik run: unknown option '" << a << "' (see orvik run --help)\n";
      return 2;
    } else if (scenePath.empty()) {
      scenePath = a;
    } else {
      std::cerr << "orvik run: only one scene at a time\n";
      return 2;
    }
  }
  if (!savePath.empty()) {
    if (const std::string problem = outputFileProblem(savePath); !problem.empty()) {
      std::cerr << "orvik run: --save " << problem << "\n";
      return 1;
    }
  }
  std::ifstream script;
  if (!scriptPath.empty()) {
    script.open(scriptPath);
    if (!script) {
      std::cerr << "orvik run: " << scriptPath << ": cannot open the script\n";
      return 1;
    }
  }
  HostSession session;
  std::string err = session.start(options);
  if (!err.empty()) {
    std::cerr << "orvik run: " << err << "\n";
    return 1;
  }
  SceneReadResult read = scenePath.empty() ? demoScene() : importSceneFile(scenePath);
  if (!read.ok) {
    std::cerr << "orvik run: " << read.error << "\n";
    return 1;
  }
  err = session.useScene(std::move(read.scene));
  if (!err.empty()) {
    std::cerr << "orvik run: " << err << "\n";
    return 1;
  }
  std::istream& in = scriptPath.empty() ? std::cin : script;
  const std::string source = scriptPath.empty() ? "<stdin>" : scriptPath;
  const bool prompt = scriptPath.empty() && ::isatty(STDIN_FILENO);
  int failures = 0, lineNo = 0;
  std::string line;
  while (true) {
    if (prompt) std::cout << "orvik> " << std::flush;
    if (!std::getline(in, line)) break;
    ++lineNo;
    const auto a = line.find_first_not_of(" \t\r");
    if (a == std::string::npos || line[a] == '#') continue;
    line = line.substr(a, line.find_last_not_of(" \t\r") - a + 1);
    int ok = 0;
    std::string why;
    if (line.rfind("Surface ", 0) == 0) {
      // Surface OBJECT SURFACE: the surface editor's current surface.
      std::istringstream words(line.substr(8));
      std::string object, surface;
      words >> std::quoted(object) >> std::quoted(surface);
      const ItemId id = session.scene.find(ItemType::Object, object);
      if (const Object* o = session.scene.object(id)) {
        for (std::size_t k = 0; k < o->surfaces.size(); ++k)
          if (o->surfaces[k].name == surface) {
            session.env.currentSurface = HostEnvironment::surfaceId(itemIndexOf(id), k);
            ok = 1;
          }
        if (!ok) why = "object '" + object + "' has no surface '" + surface + "'";
      } else {
        why = "no object named '" + object + "'";
      }
    } else {
      ok = session.commands->execute(line);
      why = session.commands->lastError();
    }
    if (ok) {
      std::printf("ok      %s\n", line.c_str());
    } else {
      ++failures;
      std::printf("failed  %s\n", line.c_str());
      std::cerr << source << ":" << lineNo << ": " << (why.empty() ? "the command failed" : why) << "\n";
    }
    std::fflush(stdout);
  }
  if (!savePath.empty()) {
    err = session.plugins->saveSettings();
    if (!err.empty()) std::cerr << "orvik run: saving the module's settings: " << err << "\n";
    // Mesh and image names relative to the scene's folder stay right in the new one.
    rebaseSceneFilesBetween(session.scene, scenePath, savePath);
    err = writeFileWhole(savePath, writeSceneText(session.scene));
    if (!err.empty()) {
      std::cerr << "orvik run: " << err << "\n";
      return 1;
    }
  }
  return failures ? 1 : 0;
}

namespace {

// The module's instances for a render, kept alive with the host session.
class ModuleRenderSession : public RenderSession {
 public:
  HostSession host;
};

}  // namespace

int runRenderWithModule(const std::vector<std::string>& args) {
  // Host options are ours; the rest goes to the render command.
  HostOptions options;
  std::vector<std::string> rest = {"render"};
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] == "--quiet") {
      // Both quiet: the module's messages and the render's progress.
      options.quiet = true;
      rest.push_back(args[i]);
      continue;
    }
    if (!parseHostOption(args, i, options, error)) {
      rest.push_back(args[i]);
      continue;
    }
    if (!error.empty()) {
      std::cerr << "orvik render: " << error << "\n";
      return 2;
    }
  }
  const bool help = std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
                    std::find(rest.begin(), rest.end(), "-h") != rest.end();
  std::vector<char*> argv;
  for (std::string& a : rest) argv.push_back(a.data());
  argv.push_back(nullptr);
  const RenderSessionFactory factory = [options](Scene& scene, std::string& error) -> std::unique_ptr<RenderSession> {
    auto session = std::make_unique<ModuleRenderSession>();
    error = session->host.start(options);
    if (error.empty()) error = session->host.attachScene(scene);
    if (!error.empty()) return nullptr;
    if (session->host.created.failures > 0) {
      error = "the module refused " + std::to_string(session->host.created.failures) + " instance(s) of the scene";
      return nullptr;
    }
    session->plugins = session->host.plugins->renderPlugins();
    return session;
  };
  const int status = runRenderCommand(static_cast<int>(rest.size()), argv.data(), factory);
  if (help) std::cout << "\n" << kHostOptionsHelp;
  return status;
}

int runCli(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kMainHelp;
    return 2;
  }
  const std::string command = args.front();
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kMainHelp;
    return 0;
  }
  try {
    if (command == "servers") return runServersCommand(args);
    if (command == "check") return runCheckCommand(args);
    if (command == "demo") return runDemoCommand(args);
    if (command == "render") return runRenderWithModule(args);
    if (command == "run") return runRunCommand(args);
    if (command == "resave") return runResaveCommand(args);
    if (command == "settings") return runSettingsCommand(args);
  } catch (const std::exception& e) {
    std::cerr << "orvik " << command << ": " << e.what() << "\n";
    return 1;
  }
  std::cerr << "orvik: unknown command '" << command << "'\n\n" << kMainHelp;
  return 2;
}

}  // namespace orvik::host
