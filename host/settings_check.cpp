#include "host/settings_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/scene_file.h"

namespace orvik::host {

namespace {

constexpr const char* kServer = "Orvik";
constexpr const char* kScratchName = "Scratch";

const char* const kSettingsHelp =
    "Usage: orvik settings check FILE [--master] [--surface NAME] [--print] [host options]\n"
    "\n"
    "Loads the settings in FILE into a scratch surface panel of the module (a master\n"
    "panel with --master) and prints every message the module shows while loading,\n"
    "with the line position it gives (\"Line N: ...\"). FILE is a settings file as the\n"
    "panels write it, or a scene (.orvs): then its master block with --master, else\n"
    "the block of the first Orvik shader (of surface NAME with --surface).\n"
    "Line positions count from the block's first line, which the module calls line 2.\n"
    "--print writes the settings as the module saves them again after loading.\n"
    "\n"
    "Exit status: 0 when the settings loaded without a message, 1 when the module\n"
    "reported trouble or the file could not be read, 2 for a usage error.\n"
    "\n";

bool startsWithSceneMagic(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  return first != std::string::npos && text.compare(first, std::strlen(kSceneFileMagic), kSceneFileMagic) == 0;
}

// A handler record of the module's own, activated to reach the load and save
// callbacks of an instance the host's scene plug-ins created.
bool activateShaderRecord(HostSession& session, HostShaderHandler& record, std::string& error) {
  const ServerEntry* server = session.module->find(HOST_CLASS_SHADER_HANDLER, kServer);
  if (!server) {
    error = "the module serves no shader named " + std::string(kServer);
    return false;
  }
  record.inst.priv = session.module->serverData();
  const int code =
      session.module->activate(*server, session.env.activationVersion, HostEnvironment::globalFunction(), &record);
  if (code != HOST_AFUNC_OK) {
    error = "the shader's activation failed with code " + std::to_string(code);
    return false;
  }
  return true;
}

}  // namespace

SettingsCheck checkSettingsText(HostSession& session, const std::string& text, ScratchPanel panel) {
  SettingsCheck result;
  // An empty scene with, for the surface panel, one surface carrying the shader.
  Scene scratch;
  scratch.fileName = kScratchName;
  if (panel == ScratchPanel::Surface) {
    Object o;
    o.name = kScratchName;
    o.primitive.kind = PrimitiveKind::Box;
    o.motion.keys = {TransformKey{}};
    Surface s;
    s.name = kScratchName;
    s.shaders.push_back({kServer, "", true});
    o.surfaces.push_back(std::move(s));
    scratch.addObject(std::move(o));
  }
  std::string error = session.useScene(std::move(scratch));
  if (!error.empty()) {
    result.error = error;
    return result;
  }

  const HostInstanceFuncs* funcs = nullptr;
  HostInstance inst = nullptr;
  HostShaderHandler shader{};
  if (panel == ScratchPanel::Surface) {
    if (!activateShaderRecord(session, shader, result.error)) return result;
    funcs = &shader.inst;
    inst = session.plugins->shaderInstance(0, 0, 0);
  } else if (session.plugins->applyServer(HOST_CLASS_MASTER_HANDLER, kServer) && session.plugins->masterHandler()) {
    funcs = &session.plugins->masterHandler()->inst;
    inst = session.plugins->masterInstance();
  }
  if (!inst || !funcs || !funcs->load) {
    result.error = "the module made no scratch " +
                   std::string(panel == ScratchPanel::Surface ? "surface" : "master") + " instance";
    for (const HostMessage& m : session.env.messages) result.error += "; " + m.line1 + " " + m.line2;
    return result;
  }

  // Only what this load shows counts.
  session.env.messages.clear();
  result.started = true;
  SettingsReader reader(text);
  if (HostError e = funcs->load(inst, reader.state()))
    result.messages.push_back({HostMessage::Kind::Error, "", e, ""});
  // Saving runs the after-load steps (item names resolved and the like),
  // which may have their own messages.
  if (funcs->save) {
    SettingsWriter writer;
    if (HostError e = funcs->save(inst, writer.state()))
      session.env.messages.push_back({HostMessage::Kind::Error, "", std::string("saving again: ") + e, ""});
    result.resaved = writer.text();
  }
  for (HostMessage& m : session.env.messages) result.messages.push_back(std::move(m));
  session.env.messages.clear();
  return result;
}

bool sceneSettingsBlock(const std::string& sceneText, const std::string& fileName, ScratchPanel panel,
                        const std::string& surface, std::string& block, std::string& where, std::string& error) {
  SceneReadResult read = parseSceneText(sceneText, fileName);
  if (!read.ok) {
    error = read.error;
    return false;
  }
  if (panel == ScratchPanel::Master) {
    for (const PluginBlock& p : read.scene.plugins)
      if (p.serverClass == HOST_CLASS_MASTER_HANDLER && p.server == kServer) {
        if (p.settings.empty()) break;
        block = p.settings;
        where = "the master's settings";
        return true;
      }
    error = fileName + ": the scene holds no settings of the master " + kServer;
    return false;
  }
  for (const Object& o : read.scene.objects)
    for (const Surface& s : o.surfaces) {
      if (!surface.empty() && s.name != surface) continue;
      for (const ShaderRef& r : s.shaders)
        if (r.server == kServer && !r.settings.empty()) {
          block = r.settings;
          where = "the settings of surface '" + s.name + "' of '" + o.name + "'";
          return true;
        }
    }
  error = fileName + ": the scene holds no settings of an " + kServer + " shader" +
          (surface.empty() ? std::string() : " on a surface named '" + surface + "'");
  return false;
}

int runSettingsCommand(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") {
      std::cout << kSettingsHelp << kHostOptionsHelp;
      return 0;
    }
  if (args.empty() || args[0] != "check") {
    std::cerr << "orvik settings: " << (args.empty() ? "needs a subcommand" : "unknown subcommand '" + args[0] + "'")
              << " (see orvik settings --help)\n";
    return 2;
  }
  HostOptions options;
  ScratchPanel panel = ScratchPanel::Surface;
  bool print = false;
  std::string file, surface;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string error;
    const std::string& a = args[i];
    if (a == "--master") {
      panel = ScratchPanel::Master;
    } else if (a == "--print") {
      print = true;
    } else if (a == "--surface") {
      if (i + 1 >= args.size()) {
        std::cerr << "orvik settings check: --surface needs a surface name\n";
        return 2;
      }
      surface = args[++i];
    } else if (parseHostOption(args, i, options, error)) {
      if (!error.empty()) {
        std::cerr << "orvik settings check: " << error << "\n";
        return 2;
      }
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "orvik settings check: unknown option '" << a << "' (see orvik settings --help)\n";
      return 2;
    } else if (file.empty()) {
      file = a;
    } else {
      std::cerr << "orvik settings check: only one file at a time\n";
      return 2;
    }
  }
  if (file.empty()) {
    std::cerr << "orvik settings check: needs the settings file to check (see orvik settings --help)\n";
    return 2;
  }
  if (panel == ScratchPanel::Master && !surface.empty()) {
    std::cerr << "orvik settings check: --surface names a surface's block; it does not go with --master\n";
    return 2;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    std::cerr << "orvik settings check: " << file << ": is a folder, not a file\n";
    return 1;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "orvik settings check: " << file << ": cannot open (" << std::strerror(errno) << ")\n";
    return 1;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string text = bytes.str();
  std::string where = "the settings";
  if (startsWithSceneMagic(text)) {
    std::string block, error;
    if (!sceneSettingsBlock(text, file, panel, surface, block, where, error)) {
      std::cerr << "orvik settings check: " << error << "\n";
      return 1;
    }
    text = std::move(block);
  } else if (!surface.empty()) {
    std::cerr << "orvik settings check: --surface applies to scene files only; " << file << " is a settings file\n";
    return 2;
  }

  options.quiet = true;  // the messages are printed here, each once
  HostSession session;
  const std::string err = session.start(options);
  if (!err.empty()) {
    std::cerr << "orvik settings check: " << err << "\n";
    return 1;
  }
  const SettingsCheck check = checkSettingsText(session, text, panel);
  if (!check.started) {
    std::cerr << "orvik settings check: " << check.error << "\n";
    return 1;
  }
  const char* panelName = panel == ScratchPanel::Master ? "master panel" : "surface panel";
  for (const HostMessage& m : check.messages) {
    std::printf("%s: %s: %s\n", file.c_str(), messageKindName(m.kind), m.line1.c_str());
    if (!m.line2.empty()) std::printf("    %s\n", m.line2.c_str());
  }
  if (check.clean())
    std::printf("%s: %s loaded cleanly into a %s\n", file.c_str(), where.c_str(), panelName);
  else
    std::printf("%s: %s did not load cleanly into a %s: %zu message(s)\n", file.c_str(), where.c_str(),
                panelName, check.messages.size());
  if (print) std::printf("%s\n", check.resaved.c_str());
  std::fflush(stdout);
  return check.clean() ? 0 : 1;
}

}  // namespace orvik::host
