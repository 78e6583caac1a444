#include "host/services_commands.h"

#include <charconv>

namespace orvik::host {

namespace {

std::string trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

bool parseInt(const std::string& s, long& out) {
  const auto res = std::from_chars(s.data(), s.data() + s.size(), out);
  return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

}  // namespace

CommandInterpreter::CommandInterpreter(HostEnvironment& env, ScenePlugins& plugins) : env_(env), plugins_(plugins) {
  env_.commandHandler = [this](const std::string& c) { return execute(c); };
}

CommandInterpreter::~CommandInterpreter() { env_.commandHandler = nullptr; }

ItemId CommandInterpreter::findAnyItem(const std::string& name) const {
  for (int t = 0; t < kItemTypeCount; ++t)
    if (ItemId id = env_.scene().find(static_cast<ItemType>(t), name)) return id;
  return kNoItem;
}

int CommandInterpreter::execute(const std::string& command) {
  const std::string line = trim(command);
  const auto sp = line.find_first_of(" \t");
  const std::string verb = line.substr(0, sp);
  const std::string rest = sp == std::string::npos ? "" : trim(line.substr(sp));
  lastError_.clear();
  const int result = verb.empty() ? 0 : dispatch(verb, rest);
  if (verb.empty()) lastError_ = "empty command";
  // The master hears every command the host ran; what it sends in turn does
  // not replace this command's outcome.
  const std::string error = lastError_;
  plugins_.masterEvent(HOST_EVENT_COMMAND, line.c_str());
  lastError_ = error;
  return result;
}

int CommandInterpreter::dispatch(const std::string& verb, const std::string& rest) {
  auto refuse = [&](const std::string& why) {
    lastError_ = verb + ": " + why;
    return 0;
  };
  if (verb == "ApplyServer") {
    const auto sp = rest.find(' ');
    if (sp == std::string::npos) return refuse("needs a server class and a name");
    const std::string cls = rest.substr(0, sp), name = trim(rest.substr(sp));
    if (cls != HOST_CLASS_MASTER_HANDLER && cls != HOST_CLASS_PIXEL_FILTER_HANDLER)
      return refuse("class " + cls + " cannot be applied to the scene");
    return plugins_.applyServer(cls, name) ? 1 : refuse("the server " + name + " could not be applied");
  }
  if (verb == "Surf_AddShader" || verb == "Surf_RemShader") {
    std::size_t o = 0, s = 0;
    if (rest.empty()) return refuse("needs a shader name");
    if (!env_.decodeSurface(env_.currentSurface, o, s)) return refuse("no surface is current");
    const int ok = verb == "Surf_AddShader" ? plugins_.addShader(o, s, rest) : plugins_.removeShader(o, s, rest);
    if (ok) env_.sceneChanged();
    return ok ? 1 : refuse("shader " + rest + " was not changed on the current surface");
  }
  if (verb == "SelectByName" || verb == "AddToSelection") {
    const ItemId id = findAnyItem(rest);
    if (!id) return refuse("no item named '" + rest + "'");
    if (verb == "SelectByName") env_.selection.clear();
    env_.selection.push_back(id);
    env_.refreshRecords();
    return 1;
  }
  if (verb == "ClearSelection") {
    env_.selection.clear();
    env_.refreshRecords();
    return 1;
  }
  if (verb == "GoToFrame") {
    long frame = 0;
    if (!parseInt(rest, frame) || frame < -1000000 || frame > 1000000) return refuse("needs a frame number");
    env_.setCurrentFrame(static_cast<int>(frame));
    plugins_.masterEvent(HOST_EVENT_TIME, nullptr);
    return 1;
  }
  if (verb == "AutoConfirm") {
    long on = 0;
    if (!parseInt(rest, on)) return refuse("needs 0 or 1");
    // While on, the module's questions are answered with OK.
    if (on && !autoConfirm_) savedConfirm_ = env_.answers.confirm;
    if (on) env_.answers.confirm = true;
    if (!on && autoConfirm_) env_.answers.confirm = savedConfirm_;
    autoConfirm_ = on != 0;
    return 1;
  }
  if (verb == "ImageEditor" || verb == "Refresh" || verb == "Redraw") return 1;
  if (verb == "RenderFrame") {
    if (!renderFrame) return refuse("no renderer is attached to this host");
    return renderFrame(env_.currentFrame) ? 1 : refuse("the render failed");
  }
  // The module's own generic commands run by their server name.
  const int code = plugins_.runGeneric(verb);
  if (code >= 0) return code == HOST_AFUNC_OK ? 1 : refuse("failed with code " + std::to_string(code));
  return refuse("unknown command");
}

}  // namespace orvik::host
