#include "host/scene_plugins.h"

#include <algorithm>
#include <cstring>

#include "host/services_records.h"

namespace orvik::host {

namespace {

// Master events nested deeper than this (a command sent from an event that
// sends a command...) are not delivered.
constexpr int kMaxEventDepth = 4;

// Versions of the host's product below these are read as 6 by the module.
constexpr int kOldestBelievedMajor = 5;
constexpr int kOldestBelievedBuild = 400;

std::string key(const std::string& cls, const std::string& name) { return cls + " " + name; }

}  // namespace

// ---- save and load states

SettingsWriter::SettingsWriter() {
  state_.ioMode = HOST_IO_TEXT;
  state_.writeData = this;
  state_.write = &SettingsWriter::write;
}

void SettingsWriter::write(void* data, const char* text, int length) {
  auto* self = static_cast<SettingsWriter*>(data);
  if (!self || !text || length <= 0) return;
  // A line's length counts its terminating zero; the host ends the line.
  std::size_t n = 0;
  while (n < static_cast<std::size_t>(length) && text[n] != '\0') ++n;
  std::string line(text, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  self->lines_.push_back(std::move(line));
}

std::string SettingsWriter::text() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += '\n';
    out += lines_[i];
  }
  return out;
}

SettingsReader::SettingsReader(std::string text) : text_(std::move(text)) {
  if (!text_.empty() && text_.back() != '\n') text_ += '\n';
  state_.ioMode = HOST_IO_TEXT;
  state_.readData = this;
  state_.read = &SettingsReader::read;
}

int SettingsReader::read(void* data, char* buffer, int length) {
  auto* self = static_cast<SettingsReader*>(data);
  if (!self || !buffer || length <= 0) return 0;
  const std::size_t left = self->text_.size() - self->pos_;
  const std::size_t n = std::min(left, static_cast<std::size_t>(length));
  std::memcpy(buffer, self->text_.data() + self->pos_, n);
  self->pos_ += n;
  return static_cast<int>(n);
}

// ---- instances

ScenePlugins::ScenePlugins(const LoadedModule& module, HostEnvironment& env, Scene& scene)
    : module_(module), env_(env), scene_(scene) {}

ScenePlugins::~ScenePlugins() { destroyAll(); }

void ScenePlugins::destroyAll() {
  while (!created_.empty()) {
    auto [funcs, inst] = created_.back();
    created_.pop_back();
    if (funcs->destroy) funcs->destroy(inst);
  }
  shaders_.clear();
  master_ = {};
  pixelFilter_ = {};
}

int ScenePlugins::activateHandler(const std::string& cls, const std::string& name) {
  const std::string k = key(cls, name);
  if (auto it = activationCodes_.find(k); it != activationCodes_.end()) return it->second;
  const ServerEntry* server = module_.find(cls, name);
  if (!server) return -1;
  void* local = nullptr;
  HostInstanceFuncs* inst = nullptr;
  if (cls == HOST_CLASS_SHADER_HANDLER) {
    auto& rec = shaderHandlers_[k] = std::make_unique<HostShaderHandler>();
    local = rec.get();
    inst = &rec->inst;
  } else if (cls == HOST_CLASS_MASTER_HANDLER) {
    auto& rec = masterHandlers_[k] = std::make_unique<HostMasterHandler>();
    local = rec.get();
    inst = &rec->inst;
  } else if (cls == HOST_CLASS_PIXEL_FILTER_HANDLER) {
    auto& rec = filterHandlers_[k] = std::make_unique<HostPixelFilterHandler>();
    local = rec.get();
    inst = &rec->inst;
  } else if (cls == HOST_CLASS_FRAME_BUFFER_HANDLER) {
    auto& rec = bufferHandlers_[k] = std::make_unique<HostFrameBufferHandler>();
    local = rec.get();
    inst = &rec->inst;
  } else {
    return -1;
  }
  inst->priv = module_.serverData();
  const int code = module_.activate(*server, env_.activationVersion, HostEnvironment::globalFunction(), local);
  activationCodes_[k] = code;
  activations_.push_back({cls, name, code});
  return code;
}

int ScenePlugins::runGeneric(const std::string& name) {
  const ServerEntry* server = module_.find(HOST_CLASS_LAYOUT_GENERIC, name);
  if (!server) return -1;
  HostLayoutGeneric local{this, &ScenePlugins::commandThunk};
  const int code = module_.activate(*server, env_.activationVersion, HostEnvironment::globalFunction(), &local);
  activations_.push_back({HOST_CLASS_LAYOUT_GENERIC, name, code});
  return code;
}

int ScenePlugins::openInterface(const std::string& cls, const std::string& name, HostInstance inst, ItemId item) {
  const ServerEntry* server = module_.find(cls, name);
  if (!server) return -1;
  HostInterfaceRecord local{inst, records::toHost(item)};
  const int code = module_.activate(*server, env_.activationVersion, HostEnvironment::globalFunction(), &local);
  activations_.push_back({cls, name, code});
  return code;
}

int ScenePlugins::commandThunk(void* data, const char* command) {
  auto* self = static_cast<ScenePlugins*>(data);
  return self && command ? self->env_.runCommand(command) : 0;
}

HostInstance ScenePlugins::create(const HostInstanceFuncs& funcs, void* context, const std::string& what) {
  if (!funcs.create) {
    env_.showMessage(HostMessage::Kind::Error, (what + ": the module gives no create function").c_str(), nullptr);
    return nullptr;
  }
  HostError error = nullptr;
  HostInstance inst = funcs.create(funcs.priv, context, &error);
  if (!inst) {
    env_.showMessage(HostMessage::Kind::Error, (what + ": the instance was not created").c_str(),
                     error ? error : "no reason given");
    return nullptr;
  }
  created_.push_back({&funcs, inst});
  return inst;
}

void ScenePlugins::load(const HostInstanceFuncs& funcs, HostInstance inst, const std::string& text,
                        const std::string& what) {
  if (text.empty() || !funcs.load) return;
  SettingsReader reader(text);
  if (HostError err = funcs.load(inst, reader.state()))
    env_.showMessage(HostMessage::Kind::Error, (what + ": its settings did not load").c_str(), err);
}

std::vector<ScenePlugins::ShaderSlot>& ScenePlugins::slots(std::size_t object, std::size_t surface) {
  if (shaders_.size() <= object) shaders_.resize(object + 1);
  if (shaders_[object].size() <= surface) shaders_[object].resize(surface + 1);
  return shaders_[object][surface];
}

ScenePlugins::CreateSummary ScenePlugins::createInstances() {
  CreateSummary summary;
  for (std::size_t o = 0; o < scene_.objects.size(); ++o) {
    const Object& obj = scene_.objects[o];
    for (std::size_t s = 0; s < obj.surfaces.size(); ++s) {
      const Surface& surf = obj.surfaces[s];
      auto& list = slots(o, s);
      list.resize(surf.shaders.size());
      for (std::size_t k = 0; k < surf.shaders.size(); ++k) {
        const ShaderRef& ref = surf.shaders[k];
        ShaderSlot& slot = list[k];
        slot.server = ref.server;
        if (!ref.enabled || slot.instance) continue;
        const std::string what = "surface '" + surf.name + "' of '" + obj.name + "', shader '" + ref.server + "'";
        if (!module_.find(HOST_CLASS_SHADER_HANDLER, ref.server)) {
          env_.showMessage(HostMessage::Kind::Warning, (what + ": the module serves no such shader").c_str(),
                           "the surface keeps the host's own shading");
          continue;
        }
        const int code = activateHandler(HOST_CLASS_SHADER_HANDLER, ref.server);
        if (code != HOST_AFUNC_OK) {
          env_.showMessage(HostMessage::Kind::Error, (what + ": activation failed").c_str(),
                           ("code " + std::to_string(code)).c_str());
          ++summary.failures;
          continue;
        }
        const HostShaderHandler* h = shaderHandlers_[key(HOST_CLASS_SHADER_HANDLER, ref.server)].get();
        slot.handler = h;
        slot.instance = create(h->inst, HostEnvironment::surfaceId(o, s), what);
        if (!slot.instance) {
          ++summary.failures;
          continue;
        }
        load(h->inst, slot.instance, ref.settings, what);
        ++summary.shaders;
      }
    }
  }
  for (const PluginBlock& p : scene_.plugins) {
    const int before = static_cast<int>(created_.size());
    if (applyServer(p.serverClass, p.server)) {
      if (static_cast<int>(created_.size()) > before) ++summary.scenePlugins;
    } else {
      ++summary.failures;
    }
  }
  finishSceneLoad();
  return summary;
}

void ScenePlugins::finishSceneLoad() {
  // Once a scene is in, the host asks every shader for the items it uses
  // (which lets it resolve the item names its settings named) and tells the
  // master of the load as a command, as it does after any scene command.
  for (auto& object : shaders_) {
    for (auto& surface : object) {
      for (ShaderSlot& slot : surface) {
        if (slot.handler && slot.instance && slot.handler->item.useItems)
          slot.handler->item.useItems(slot.instance);
      }
    }
  }
  const std::string command = "LoadScene " + scene_.fileName;
  masterEvent(HOST_EVENT_COMMAND, command.c_str());
}

int ScenePlugins::applyServer(const std::string& cls, const std::string& name) {
  const bool isMaster = cls == HOST_CLASS_MASTER_HANDLER;
  if (!isMaster && cls != HOST_CLASS_PIXEL_FILTER_HANDLER) return 0;
  // One instance per scene-wide server: applying it again keeps the first.
  if (isMaster && master_.instance && master_.server == name) return 1;
  if (!isMaster && pixelFilter_.instance && pixelFilter_.server == name) return 1;
  const int code = activateHandler(cls, name);
  const std::string what = cls + " " + name;
  if (code != HOST_AFUNC_OK) {
    env_.showMessage(HostMessage::Kind::Error, (what + ": activation failed").c_str(),
                     ("code " + std::to_string(code)).c_str());
    return 0;
  }
  // The scene's block of this server holds the settings to load (and is
  // where they are saved again).
  PluginBlock* block = nullptr;
  for (PluginBlock& p : scene_.plugins)
    if (p.serverClass == cls && p.server == name) block = &p;
  if (!block) {
    scene_.plugins.push_back({cls, name, ""});
    block = &scene_.plugins.back();
  }
  const std::string settings = block->settings;
  if (isMaster) {
    const HostMasterHandler* h = masterHandlers_[key(cls, name)].get();
    HostInstance inst = create(h->inst, nullptr, what);
    if (!inst) return 0;
    master_ = {name, h, inst};
    load(h->inst, inst, settings, what);
  } else {
    const HostPixelFilterHandler* h = filterHandlers_[key(cls, name)].get();
    HostInstance inst = create(h->inst, reinterpret_cast<void*>(std::uintptr_t{HOST_FILTER_CONTEXT_RENDER}), what);
    if (!inst) return 0;
    pixelFilter_ = {name, h, inst};
    load(h->inst, inst, settings, what);
  }
  return 1;
}

int ScenePlugins::addShader(std::size_t object, std::size_t surface, const std::string& server) {
  if (object >= scene_.objects.size() || surface >= scene_.objects[object].surfaces.size()) return 0;
  if (!module_.find(HOST_CLASS_SHADER_HANDLER, server)) return 0;
  if (activateHandler(HOST_CLASS_SHADER_HANDLER, server) != HOST_AFUNC_OK) return 0;
  Surface& surf = scene_.objects[object].surfaces[surface];
  const HostShaderHandler* h = shaderHandlers_[key(HOST_CLASS_SHADER_HANDLER, server)].get();
  const std::string what = "surface '" + surf.name + "', shader '" + server + "'";
  HostInstance inst = create(h->inst, HostEnvironment::surfaceId(object, surface), what);
  if (!inst) return 0;
  surf.shaders.push_back({server, "", true});
  auto& list = slots(object, surface);
  list.resize(surf.shaders.size() - 1);
  list.push_back({server, h, inst});
  return 1;
}

int ScenePlugins::removeShader(std::size_t object, std::size_t surface, const std::string& server) {
  if (object >= scene_.objects.size() || surface >= scene_.objects[object].surfaces.size()) return 0;
  Surface& surf = scene_.objects[object].surfaces[surface];
  auto& list = slots(object, surface);
  list.resize(surf.shaders.size());
  for (std::size_t k = 0; k < surf.shaders.size(); ++k) {
    if (surf.shaders[k].server != server) continue;
    if (HostInstance inst = list[k].instance) {
      auto it = std::find_if(created_.begin(), created_.end(), [&](const auto& c) { return c.second == inst; });
      if (it != created_.end()) {
        const HostInstanceFuncs* funcs = it->first;
        created_.erase(it);
        if (funcs->destroy) funcs->destroy(inst);
      }
    }
    surf.shaders.erase(surf.shaders.begin() + static_cast<std::ptrdiff_t>(k));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
    return 1;
  }
  return 0;
}

std::string ScenePlugins::saveSettings() {
  std::string firstError;
  auto save = [&](const HostInstanceFuncs& funcs, HostInstance inst, std::string& into, const std::string& what) {
    if (!funcs.save || !inst) return;
    SettingsWriter writer;
    if (HostError err = funcs.save(inst, writer.state())) {
      if (firstError.empty()) firstError = what + ": " + err;
      return;
    }
    into = writer.text();
  };
  for (std::size_t o = 0; o < shaders_.size() && o < scene_.objects.size(); ++o)
    for (std::size_t s = 0; s < shaders_[o].size() && s < scene_.objects[o].surfaces.size(); ++s) {
      Surface& surf = scene_.objects[o].surfaces[s];
      for (std::size_t k = 0; k < shaders_[o][s].size() && k < surf.shaders.size(); ++k) {
        const ShaderSlot& slot = shaders_[o][s][k];
        if (slot.handler) save(slot.handler->inst, slot.instance, surf.shaders[k].settings, "surface '" + surf.name + "'");
      }
    }
  for (PluginBlock& p : scene_.plugins) {
    if (p.serverClass == HOST_CLASS_MASTER_HANDLER && master_.handler && master_.server == p.server)
      save(master_.handler->inst, master_.instance, p.settings, "master " + p.server);
    if (p.serverClass == HOST_CLASS_PIXEL_FILTER_HANDLER && pixelFilter_.handler && pixelFilter_.server == p.server)
      save(pixelFilter_.handler->inst, pixelFilter_.instance, p.settings, "pixel filter " + p.server);
  }
  return firstError;
}

HostInstance ScenePlugins::shaderInstance(std::size_t object, std::size_t surface, std::size_t index) const {
  if (object >= shaders_.size() || surface >= shaders_[object].size() || index >= shaders_[object][surface].size())
    return nullptr;
  return shaders_[object][surface][index].instance;
}

int ScenePlugins::shaderInstanceCount() const {
  int n = 0;
  for (const auto& o : shaders_)
    for (const auto& s : o)
      for (const auto& k : s) n += k.instance ? 1 : 0;
  return n;
}

std::string ScenePlugins::describeShader(std::size_t object, std::size_t surface, std::size_t index) const {
  if (object >= shaders_.size() || surface >= shaders_[object].size() || index >= shaders_[object][surface].size())
    return "";
  const ShaderSlot& slot = shaders_[object][surface][index];
  if (!slot.handler || !slot.instance || !slot.handler->inst.descln) return "";
  const char* d = slot.handler->inst.descln(slot.instance);
  return d ? d : "";
}

void ScenePlugins::masterEvent(int code, const char* commandText) {
  if (!master_.handler || !master_.instance || !master_.handler->event) return;
  if (eventDepth_ >= kMaxEventDepth) return;
  ++eventDepth_;
  HostMasterAccess access{};
  access.eventCode = code;
  access.eventData = commandText;
  access.data = this;
  access.evaluate = &ScenePlugins::commandThunk;
  master_.handler->event(master_.instance, &access);
  --eventDepth_;
}

RenderPlugins ScenePlugins::renderPlugins() const {
  RenderPlugins r;
  r.surfaceShaders.resize(scene_.objects.size());
  for (std::size_t o = 0; o < scene_.objects.size(); ++o) {
    r.surfaceShaders[o].resize(scene_.objects[o].surfaces.size());
    if (o >= shaders_.size()) continue;
    for (std::size_t s = 0; s < scene_.objects[o].surfaces.size() && s < shaders_[o].size(); ++s)
      for (const ShaderSlot& slot : shaders_[o][s])
        if (slot.handler && slot.instance) r.surfaceShaders[o][s].push_back({slot.handler, slot.instance});
  }
  r.master = master_.handler;
  r.masterInstance = master_.instance;
  r.pixelFilter = pixelFilter_.handler;
  r.pixelFilterInstance = pixelFilter_.instance;
  const bool believed = env_.productMajor >= kOldestBelievedMajor && env_.productBuild >= kOldestBelievedBuild;
  r.hostVersion = believed ? env_.productMajor : 6;
  HostEnvironment* env = &env_;
  r.command = [env](const char* cmd) { return cmd ? env->runCommand(cmd) : 0; };
  r.onNewTime = [env](int frame, double time) {
    env->currentFrame = frame;
    env->currentTime = time;
    env->refreshRecords();
  };
  return r;
}

}  // namespace orvik::host
