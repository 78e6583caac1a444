#include "host/cli_session.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "host/render_frame.h"

namespace orvik::host {

const char* const kHostOptionsHelp =
    "Host options:\n"
    "  --module PATH          the module to load (default: liborvik.so of this build)\n"
    "  --host-version N       interface version passed to activations (default 4)\n"
    "  --product M.m[.b]      product version reported as \"Product Info\" (default 7.5.700)\n"
    "  --modeler              run as the modeling module (\"System ID\" says Modeler)\n"
    "  --render-node          run as a render node (\"System ID\" says ScreamerNet)\n"
    "  --without \"NAME\"       do not serve that global service (repeatable); a name\n"
    "                         with a version (\"Info Messages 3\") hides that version only\n"
    "  --answers FILE         scripted answers to questions, file and colour requesters,\n"
    "                         one a line: ok, cancel, yes, no, file PATH, color R G B\n"
    "  --answer yes|no        answer to questions once the script is used up (default yes)\n"
    "  --interactive          ask at the terminal instead\n"
    "  --quiet                do not echo the module's messages to stderr\n";

namespace {

bool toInt(const std::string& s, int& out) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

}  // namespace

bool parseHostOption(const std::vector<std::string>& args, std::size_t& i, HostOptions& o, std::string& error) {
  const std::string& a = args[i];
  auto value = [&](std::string& out) {
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    out = args[++i];
    return true;
  };
  std::string v;
  if (a == "--module") return value(o.modulePath), true;
  if (a == "--host-version") {
    if (!value(v)) return true;
    if (!toInt(v, o.activationVersion)) error = "--host-version: '" + v + "' is not a whole number";
    return true;
  }
  if (a == "--product") {
    if (!value(v)) return true;
    int parts[3] = {0, 0, 0};
    int n = 0;
    std::istringstream in(v);
    std::string p;
    bool ok = true;
    while (std::getline(in, p, '.')) {
      if (n >= 3 || !toInt(p, parts[n])) ok = false;
      ++n;
    }
    if (!ok || n < 2 || parts[0] < 0 || parts[0] > 15 || parts[1] < 0 || parts[1] > 15 || parts[2] < 0 ||
        parts[2] > 4095) {
      error = "--product: '" + v + "' is not MAJOR.MINOR[.BUILD] (major and minor 0-15, build 0-4095)";
      return true;
    }
    o.productMajor = parts[0];
    o.productMinor = parts[1];
    if (n == 3) o.productBuild = parts[2];
    return true;
  }
  if (a == "--modeler") return o.kind = HostModuleKind::Modeler, true;
  if (a == "--render-node") return o.kind = HostModuleKind::RenderNode, true;
  if (a == "--without") {
    if (value(v)) o.without.push_back(v);
    return true;
  }
  if (a == "--answers") return value(o.answersFile), true;
  if (a == "--answer") {
    if (!value(v)) return true;
    if (v == "yes" || v == "ok")
      o.confirm = true;
    else if (v == "no" || v == "cancel")
      o.confirm = false;
    else
      error = "--answer: '" + v + "' is not yes or no";
    return true;
  }
  if (a == "--interactive") return o.interactive = true, true;
  if (a == "--quiet") return o.quiet = true, true;
  return false;
}

HostSession::~HostSession() {
  // Instances go before the module that made them.
  commands.reset();
  plugins.reset();
}

std::string HostSession::start(const HostOptions& o) {
  env.kind = o.kind;
  env.activationVersion = o.activationVersion;
  env.productMajor = o.productMajor;
  env.productMinor = o.productMinor;
  env.productBuild = o.productBuild;
  for (const std::string& w : o.without) env.withoutService(w);
  env.answers.confirm = o.confirm;
  env.answers.interactive = o.interactive;
  env.echoMessages = !o.quiet;
  if (!o.answersFile.empty()) {
    std::ifstream in(o.answersFile);
    if (!in) return o.answersFile + ": cannot open the answers file";
    std::ostringstream text;
    text << in.rdbuf();
    const std::string err = env.answers.loadScript(text.str(), o.answersFile);
    if (!err.empty()) return err;
  }
  env.setScene(&scene);
  env.makeActive();
  std::string error;
  ModuleLoadOptions lo;
  lo.privateCopy = o.privateModuleCopy;
  module = LoadedModule::open(o.modulePath.empty() ? defaultModulePath() : o.modulePath, error, lo);
  if (!module) return error;
  plugins = std::make_unique<ScenePlugins>(*module, env, scene);
  commands = std::make_unique<CommandInterpreter>(env, *plugins);
  return "";
}

std::string HostSession::useScene(Scene s) {
  // Instances of an earlier scene go before the scene they belong to.
  commands.reset();
  plugins.reset();
  scene = std::move(s);
  return attachScene(scene);
}

std::string HostSession::attachScene(Scene& target) {
  commands.reset();
  plugins.reset();
  current_ = &target;
  env.setScene(&target);
  env.setCurrentFrame(target.render.firstFrame);
  const std::string err = env.loadSceneImages();
  if (!err.empty()) return (target.fileName.empty() ? std::string("scene") : target.fileName) + ": " + err;
  if (!module) return "no module is loaded";
  plugins = std::make_unique<ScenePlugins>(*module, env, target);
  commands = std::make_unique<CommandInterpreter>(env, *plugins);
  created = plugins->createInstances();
  // "RenderFrame" renders the current frame with the module's instances.
  commands->renderFrame = [this](int frame) {
    RenderPlugins rp = plugins->renderPlugins();
    RenderSettings settings;
    settings.threads = renderThreads;
    settings.progress = false;
    Renderer renderer(*current_, &rp, settings);
    std::string error;
    const bool ok = renderer.begin(error) && renderer.renderFrame(frame, lastRender, error);
    renderer.end();
    env.clearRenderMemory();  // render memory lives for one render session
    if (!ok) {
      env.showMessage(HostMessage::Kind::Error, "RenderFrame failed", error.c_str());
      return 0;
    }
    ++framesRendered;
    return 1;
  };
  return "";
}

}  // namespace orvik::host
