#include "host/services.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "host/services_records.h"

namespace orvik::host {

namespace {

std::atomic<HostEnvironment*> g_active{nullptr};

HostEnvironment* env() { return g_active.load(std::memory_order_acquire); }

const char* orEmpty(const char* s) { return s ? s : ""; }

// ---- Info Messages
void msgInfo(const char* a, const char* b) {
  if (HostEnvironment* e = env()) e->showMessage(HostMessage::Kind::Info, a, b);
}
void msgError(const char* a, const char* b) {
  if (HostEnvironment* e = env()) e->showMessage(HostMessage::Kind::Error, a, b);
}
void msgWarning(const char* a, const char* b) {
  if (HostEnvironment* e = env()) e->showMessage(HostMessage::Kind::Warning, a, b);
}
int msgOkCancel(const char* t, const char* a, const char* b) {
  HostEnvironment* e = env();
  return e ? e->askQuestion(HostMessage::Kind::OkCancel, t, a, b) : HOST_ANSWER_CANCEL;
}
int msgYesNo(const char* t, const char* a, const char* b) {
  HostEnvironment* e = env();
  return e ? e->askQuestion(HostMessage::Kind::YesNo, t, a, b) : HOST_ANSWER_NO;
}
int msgYesNoCancel(const char* t, const char* a, const char* b) {
  HostEnvironment* e = env();
  return e ? e->askQuestion(HostMessage::Kind::YesNoCancel, t, a, b) : HOST_ANSWER_CANCEL;
}
void msgStatus(const char* text) {
  if (HostEnvironment* e = env()) e->showMessage(HostMessage::Kind::Status, text, nullptr);
}
const HostMessageFuncs3 kMessages = {msgInfo,  msgError,       msgWarning, msgOkCancel,
                                     msgYesNo, msgYesNoCancel, msgStatus};

// ---- File Request, Color Picker
// Copies text into a caller's buffer of `size` bytes, always terminated.
void copyOut(const std::string& text, char* out, int size) {
  if (!out || size <= 0) return;
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

int fileRequest(const char* title, char* name, int nameSize, char* path, int pathSize, char* fullName,
                int fullNameSize) {
  HostEnvironment* e = env();
  if (!e) return -1;
  std::string chosen;
  if (!e->answerFileRequest(orEmpty(title), chosen)) return 0;
  const std::filesystem::path p(chosen);
  copyOut(p.filename().string(), name, nameSize);
  copyOut(p.parent_path().string(), path, pathSize);
  copyOut(chosen, fullName, fullNameSize);
  return 1;
}

int colorPick(const char* title, double rgb[3]) {
  HostEnvironment* e = env();
  if (!e || !rgb) return 0;
  return e->answerColorPick(orEmpty(title), rgb) ? 1 : 0;
}

// ---- Directory Info
const char* directory(const char* kind) {
  HostEnvironment* e = env();
  if (!e || !kind) return nullptr;
  auto it = e->directories.find(kind);
  return it == e->directories.end() ? nullptr : it->second.c_str();
}

// ---- LW Command Interface
int command(const char* text) {
  HostEnvironment* e = env();
  return e && text ? e->runCommand(text) : 0;
}

// ---- Global Memory
void* memFind(const char* n) { return env() && n ? env()->findMemory(false, n) : nullptr; }
void* memCreate(const char* n, std::size_t s) { return env() && n ? env()->createMemory(false, n, s) : nullptr; }
std::size_t memSize(const char* n) { return env() && n ? env()->memorySize(false, n) : 0; }
void* rmemFind(const char* n) { return env() && n ? env()->findMemory(true, n) : nullptr; }
void* rmemCreate(const char* n, std::size_t s) { return env() && n ? env()->createMemory(true, n, s) : nullptr; }
std::size_t rmemSize(const char* n) { return env() && n ? env()->memorySize(true, n) : 0; }
const HostGlobalMemory kMemory = {memFind, memCreate, memSize};
const HostGlobalMemory kRenderMemory = {rmemFind, rmemCreate, rmemSize};

HostItemId renderCamera(double time) {
  (void)time;
  return records::toHost(records::activeScene().renderCamera());
}

// Published names and the highest version served under "Name N".
struct Versioned {
  const char* name;
  int maxVersion;
};
const Versioned kVersioned[] = {
    {HOST_INFO_MESSAGES_NAME, 3},  {HOST_DIRECTORY_INFO_NAME, 2}, {HOST_SURFACE_FUNCTIONS_NAME, 2},
    {HOST_LIGHT_INFO_NAME, 2},     {HOST_CAMERA_INFO_NAME, 2},    {HOST_IMAGE_LIST_NAME, 3},
    {HOST_BONE_INFO_NAME, 2},      {HOST_ITEM_INFO_NAME, 3},      {HOST_SCENE_OBJECTS_NAME, 3},
    {HOST_OBJECT_INFO_NAME, 4},    {HOST_BACKDROP_INFO_NAME, 2},  {HOST_COLOR_PICKER_NAME, 1},
};

// Splits "Name N" into the name and N when Name is a versioned service;
// otherwise version 1 and the whole text.
void splitVersion(const std::string& full, std::string& base, int& version) {
  base = full;
  version = 1;
  const std::size_t sp = full.rfind(' ');
  if (sp == std::string::npos || sp + 1 >= full.size() || full.size() - sp > 4) return;
  const std::string digits = full.substr(sp + 1);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return;
  const std::string head = full.substr(0, sp);
  for (const Versioned& v : kVersioned)
    if (head == v.name) {
      base = head;
      version = std::stoi(digits);
      return;
    }
}

void* globalFunc(const char* name, int useFlags) {
  HostEnvironment* e = env();
  if (!e || !name) return nullptr;
  void* result = e->lookup(name);
  e->logRequest(name, useFlags, result != nullptr);
  return result;
}

}  // namespace

const char* messageKindName(HostMessage::Kind kind) {
  switch (kind) {
    case HostMessage::Kind::Info: return "info";
    case HostMessage::Kind::Error: return "error";
    case HostMessage::Kind::Warning: return "warning";
    case HostMessage::Kind::Status: return "status";
    case HostMessage::Kind::OkCancel: return "question (ok/cancel)";
    case HostMessage::Kind::YesNo: return "question (yes/no)";
    case HostMessage::Kind::YesNoCancel: return "question (yes/no/cancel)";
  }
  return "message";
}

std::string AnswerPolicy::loadScript(const std::string& text, const std::string& fileName) {
  std::deque<std::string> parsed;
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    const auto a = line.find_first_not_of(" \t\r");
    if (a == std::string::npos) continue;
    line = line.substr(a, line.find_last_not_of(" \t\r") - a + 1);
    std::istringstream words(line);
    std::string head;
    words >> head;
    if (head == "ok" || head == "cancel" || head == "yes" || head == "no") {
      std::string extra;
      if (words >> extra) return fileName + ":" + std::to_string(n) + ": '" + head + "' takes nothing after it";
    } else if (head == "file") {
      if (line.size() <= 5) return fileName + ":" + std::to_string(n) + ": 'file' needs a path";
    } else if (head == "color") {
      double r, g, b;
      std::string extra;
      if (!(words >> r >> g >> b) || (words >> extra))
        return fileName + ":" + std::to_string(n) + ": 'color' needs three numbers (0 to 1)";
    } else {
      return fileName + ":" + std::to_string(n) + ": unknown answer '" + head +
             "' (ok, cancel, yes, no, file PATH, color R G B)";
    }
    parsed.push_back(line);
  }
  for (auto& p : parsed) script.push_back(std::move(p));
  return "";
}

HostEnvironment::HostEnvironment() {
  images_.reserve(kMaxImages);
  std::error_code ec;
  const std::string cwd = std::filesystem::current_path(ec).string();
  directories = {{HOST_DIR_CONTENT, cwd}, {HOST_DIR_IMAGES, cwd}, {HOST_DIR_SCENES, cwd}, {HOST_DIR_SETTINGS, cwd}};
  setScene(nullptr);
}

HostEnvironment::~HostEnvironment() {
  HostEnvironment* self = this;
  g_active.compare_exchange_strong(self, nullptr);
}

std::uint32_t HostEnvironment::systemId() const {
  std::uint32_t k = HOST_SYSTEM_LAYOUT;
  if (kind == HostModuleKind::Modeler) k = HOST_SYSTEM_MODELER;
  if (kind == HostModuleKind::RenderNode) k = HOST_SYSTEM_RENDER_NODE;
  return k | (serialNumber & HOST_SYSTEM_SERIAL_MASK);
}

std::uint32_t HostEnvironment::productInfo() const {
  return HOST_PRODUCT_MAKE(productMajor, productMinor, productBuild);
}

void HostEnvironment::makeActive() { g_active.store(this, std::memory_order_release); }
HostEnvironment* HostEnvironment::active() { return env(); }
HostGlobalFunc HostEnvironment::globalFunction() { return &globalFunc; }

void HostEnvironment::withoutService(const std::string& name) { hidden_.insert(name); }
void HostEnvironment::withService(const std::string& name) { hidden_.erase(name); }

std::vector<HostEnvironment::Request> HostEnvironment::requests() const {
  std::lock_guard<std::mutex> lock(requestMutex_);
  return requests_;
}

void HostEnvironment::clearRequests() {
  std::lock_guard<std::mutex> lock(requestMutex_);
  requests_.clear();
}

void HostEnvironment::logRequest(const char* name, int useFlags, bool served) {
  std::lock_guard<std::mutex> lock(requestMutex_);
  // Bounded: a module that asks in a loop must not grow the log forever.
  if (requests_.size() < 100000) requests_.push_back({name, useFlags, served});
}

void* HostEnvironment::lookup(const std::string& full) {
  std::string base;
  int version = 1;
  splitVersion(full, base, version);
  if (hidden_.count(full) || hidden_.count(base)) return nullptr;

  // Services published under a fixed name.
  if (full == HOST_SYSTEM_ID_NAME) return reinterpret_cast<void*>(static_cast<std::uintptr_t>(systemId()));
  if (full == HOST_PRODUCT_INFO_NAME) return reinterpret_cast<void*>(static_cast<std::uintptr_t>(productInfo()));
  if (full == HOST_FILE_REQUEST_NAME) return reinterpret_cast<void*>(&fileRequest);
  if (full == HOST_LIGHT_INFO_3_NAME) return const_cast<HostLightInfo3*>(&records::kLightInfo3);
  if (full == HOST_SCENE_INFO_NAME) {
    refreshRecords();
    return &sceneInfo;
  }
  if (full == HOST_INTERFACE_INFO_NAME) {
    refreshRecords();
    return &interfaceInfo;
  }
  if (full == HOST_COMPOSITING_INFO_NAME) {
    refreshRecords();
    return &compositingInfo;
  }
  if (full == HOST_COMMAND_INTERFACE_NAME) return reinterpret_cast<void*>(&command);
  if (full == HOST_SURFACE_EDITOR_NAME) return const_cast<HostSurfaceEditorFuncs*>(&records::kSurfaceEditor);
  if (full == HOST_GLOBAL_MEMORY_NAME) return const_cast<HostGlobalMemory*>(&kMemory);
  if (full == HOST_GLOBAL_RENDER_MEMORY_NAME) return const_cast<HostGlobalMemory*>(&kRenderMemory);
  if (full == HOST_DISPLAY_INFO_NAME) return &displayInfo;

  // Versioned services: "Name" is version 1, "Name N" version N.
  int maxVersion = 0;
  for (const Versioned& v : kVersioned)
    if (base == v.name) maxVersion = v.maxVersion;
  if (maxVersion == 0 || version < 1 || version > maxVersion) return nullptr;
  // Newer records extend the older ones, so one record serves every version.
  if (base == HOST_INFO_MESSAGES_NAME) return const_cast<HostMessageFuncs3*>(&kMessages);
  if (base == HOST_DIRECTORY_INFO_NAME) return reinterpret_cast<void*>(&directory);
  if (base == HOST_SURFACE_FUNCTIONS_NAME) return const_cast<HostSurfaceFuncs2*>(&records::kSurfaceFuncs);
  if (base == HOST_LIGHT_INFO_NAME) return const_cast<HostLightInfo2*>(&records::kLightInfo);
  if (base == HOST_CAMERA_INFO_NAME) return const_cast<HostCameraInfo2*>(&records::kCameraInfo);
  if (base == HOST_IMAGE_LIST_NAME) return const_cast<HostImageList3*>(&records::kImageList);
  if (base == HOST_BONE_INFO_NAME) return const_cast<HostBoneInfo2*>(&records::kBoneInfo);
  if (base == HOST_ITEM_INFO_NAME) return const_cast<HostItemInfo3*>(&records::kItemInfo);
  if (base == HOST_SCENE_OBJECTS_NAME) return const_cast<HostSceneObjects3*>(&records::kSceneObjects);
  if (base == HOST_OBJECT_INFO_NAME) return const_cast<HostObjectInfo4*>(&records::kObjectInfo);
  if (base == HOST_BACKDROP_INFO_NAME)
    return const_cast<HostBackdropInfo2*>(scene_->backdrop.gradient ? &records::kGradientBackdrop
                                                                     : &records::kSolidBackdrop);
  if (base == HOST_COLOR_PICKER_NAME) return reinterpret_cast<void*>(&colorPick);
  return nullptr;
}

void HostEnvironment::setScene(Scene* scene) {
  scene_ = scene ? scene : &ownScene_;
  sceneChanged();
}

void HostEnvironment::sceneChanged() {
  for (int t = 0; t < kItemTypeCount; ++t) {
    names_[t].clear();
    for (ItemId id = scene_->first(static_cast<ItemType>(t)); id != kNoItem; id = scene_->next(id))
      names_[t].push_back(scene_->displayName(id));
  }
  sceneName_ = std::filesystem::path(scene_->fileName).filename().string();
  if (!scene_->fileName.empty()) {
    // The content directory is the scene's folder unless set otherwise.
    const std::string dir = std::filesystem::path(scene_->fileName).parent_path().string();
    if (!dir.empty()) directories[HOST_DIR_SCENES] = dir;
  }
  refreshRecords();
}

const char* HostEnvironment::itemName(ItemId id) const {
  if (!scene_->contains(id)) return nullptr;
  const auto& list = names_[static_cast<int>(itemTypeOf(id))];
  const std::size_t i = itemIndexOf(id);
  return i < list.size() ? list[i].c_str() : nullptr;
}

void HostEnvironment::setCurrentFrame(int frame) {
  currentFrame = frame;
  currentTime = scene_->frameTime(frame);
  refreshRecords();
}

void HostEnvironment::refreshRecords() {
  const Scene& s = *scene_;
  const RenderOptions& r = s.render;
  sceneInfo.name = sceneName_.c_str();
  sceneInfo.filename = s.fileName.c_str();
  int points = 0, polygons = 0;
  for (const Object& o : s.objects) {
    points += static_cast<int>(o.mesh.positions.size());
    polygons += static_cast<int>(o.mesh.triangles.size());
  }
  sceneInfo.numPoints = points;
  sceneInfo.numPolygons = polygons;
  sceneInfo.renderType = HOST_RTYPE_REALISTIC;
  unsigned opts = 0;
  if (r.rayTraceShadows) opts |= HOST_ROPT_SHADOWTRACE;
  if (r.rayTraceReflection) opts |= HOST_ROPT_REFLECTTRACE;
  if (r.rayTraceRefraction) opts |= HOST_ROPT_REFRACTTRACE;
  if (r.fieldRendering) opts |= HOST_ROPT_FIELDS;
  if (r.region.enabled) opts |= HOST_ROPT_LIMITEDREGION;
  sceneInfo.renderOpts = opts;
  sceneInfo.frameStart = r.firstFrame;
  sceneInfo.frameEnd = r.lastFrame;
  sceneInfo.frameStep = r.frameStep;
  sceneInfo.framesPerSecond = r.fps;
  sceneInfo.frameWidth = r.width;
  sceneInfo.frameHeight = r.height;
  sceneInfo.pixelAspect = r.pixelAspect;
  sceneInfo.minSamplesPerPixel = r.aaMinSamples;
  sceneInfo.maxSamplesPerPixel = r.aaMaxSamples;
  if (r.region.enabled) {
    sceneInfo.limitedRegion[0] = r.region.x0;
    sceneInfo.limitedRegion[1] = r.region.y0;
    sceneInfo.limitedRegion[2] = r.region.x1;
    sceneInfo.limitedRegion[3] = r.region.y1;
  } else {
    sceneInfo.limitedRegion[0] = 0;
    sceneInfo.limitedRegion[1] = 0;
    sceneInfo.limitedRegion[2] = r.width - 1;
    sceneInfo.limitedRegion[3] = r.height - 1;
  }
  sceneInfo.recursionDepth = r.rayRecursionLimit;
  if (sceneInfo.numThreads <= 0) sceneInfo.numThreads = 1;
  sceneInfo.renderCamera = &renderCamera;

  selectionList.clear();
  for (ItemId id : selection)
    if (scene_->contains(id)) selectionList.push_back(records::toHost(id));
  selectionList.push_back(nullptr);
  interfaceInfo.curTime = currentTime;
  interfaceInfo.selItems = selectionList.data();
  interfaceInfo.previewStart = r.firstFrame;
  interfaceInfo.previewEnd = r.lastFrame;
  interfaceInfo.previewStep = r.frameStep;

  compositingInfo.bg = sceneImageId(s.backdrop.image);
  compositingInfo.fg = nullptr;
  compositingInfo.fgAlpha = nullptr;
}

void HostEnvironment::showMessage(HostMessage::Kind kind, const char* line1, const char* line2) {
  HostMessage m;
  m.kind = kind;
  m.line1 = orEmpty(line1);
  m.line2 = orEmpty(line2);
  if (echoMessages) {
    std::cerr << "orvik: module " << messageKindName(kind) << ": " << m.line1;
    if (!m.line2.empty()) std::cerr << " / " << m.line2;
    std::cerr << "\n";
  }
  if (messages.size() < 100000) messages.push_back(std::move(m));
}

namespace {

// Maps a scripted or typed word to the answer code of a question kind;
// false when the word does not answer this kind.
bool answerCode(HostMessage::Kind kind, const std::string& word, int& code) {
  const bool yesNo = kind != HostMessage::Kind::OkCancel;
  if (word == "ok" || word == "yes") {
    code = yesNo ? HOST_ANSWER_YES : HOST_ANSWER_OK;
  } else if (word == "no") {
    code = kind == HostMessage::Kind::OkCancel ? HOST_ANSWER_CANCEL : HOST_ANSWER_NO;
  } else if (word == "cancel") {
    code = kind == HostMessage::Kind::YesNo ? HOST_ANSWER_NO : HOST_ANSWER_CANCEL;
  } else {
    return false;
  }
  return true;
}

bool atTerminal() { return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO); }

}  // namespace

int HostEnvironment::askQuestion(HostMessage::Kind kind, const char* title, const char* line1, const char* line2) {
  HostMessage m;
  m.kind = kind;
  m.title = orEmpty(title);
  m.line1 = orEmpty(line1);
  m.line2 = orEmpty(line2);
  int code = -1;
  if (!answers.script.empty()) {
    const std::string word = answers.script.front();
    if (answerCode(kind, word, code)) answers.script.pop_front();
  }
  if (code < 0 && answers.interactive && atTerminal()) {
    std::cerr << "orvik: " << m.title << "\n  " << m.line1 << "\n  " << m.line2 << "\n";
    const char* choices = kind == HostMessage::Kind::OkCancel ? "ok/cancel"
                          : kind == HostMessage::Kind::YesNo  ? "yes/no"
                                                              : "yes/no/cancel";
    for (int tries = 0; tries < 5 && code < 0; ++tries) {
      std::cerr << "  [" << choices << "]? " << std::flush;
      std::string word;
      if (!std::getline(std::cin, word)) break;
      answerCode(kind, word, code);
    }
  }
  if (code < 0) answerCode(kind, answers.confirm ? "yes" : "cancel", code);
  m.answer = code;
  if (echoMessages)
    std::cerr << "orvik: module " << messageKindName(kind) << ": " << m.title << ": " << m.line1 << " "
              << m.line2 << " -> answered " << code << "\n";
  if (messages.size() < 100000) messages.push_back(std::move(m));
  return code;
}

bool HostEnvironment::answerFileRequest(const std::string& title, std::string& path) {
  if (!answers.script.empty()) {
    const std::string& a = answers.script.front();
    if (a.rfind("file ", 0) == 0) {
      path = a.substr(5);
      answers.script.pop_front();
      messages.push_back({HostMessage::Kind::Info, title, "file requester", path, 1});
      return true;
    }
    if (a == "cancel") {
      answers.script.pop_front();
      messages.push_back({HostMessage::Kind::Info, title, "file requester", "cancel", 0});
      return false;
    }
  }
  if (answers.interactive && atTerminal()) {
    std::cerr << "orvik: " << title << ": file name (empty to cancel)? " << std::flush;
    std::string line;
    if (std::getline(std::cin, line) && !line.empty()) {
      path = line;
      return true;
    }
  }
  messages.push_back({HostMessage::Kind::Info, title, "file requester", "cancel", 0});
  return false;
}

bool HostEnvironment::answerColorPick(const std::string& title, double rgb[3]) {
  if (!answers.script.empty()) {
    const std::string& a = answers.script.front();
    if (a.rfind("color ", 0) == 0) {
      std::istringstream in(a.substr(6));
      in >> rgb[0] >> rgb[1] >> rgb[2];
      answers.script.pop_front();
      messages.push_back({HostMessage::Kind::Info, title, "colour picker", a.substr(6), 1});
      return true;
    }
    if (a == "cancel") {
      answers.script.pop_front();
      return false;
    }
  }
  if (answers.interactive && atTerminal()) {
    std::cerr << "orvik: " << title << ": colour as R G B from 0 to 1 (now " << rgb[0] << " " << rgb[1] << " "
              << rgb[2] << "; empty to cancel)? " << std::flush;
    std::string line;
    double r = 0, g = 0, b = 0;
    if (std::getline(std::cin, line) && (std::istringstream(line) >> r >> g >> b)) {
      rgb[0] = r;
      rgb[1] = g;
      rgb[2] = b;
      return true;
    }
  }
  messages.push_back({HostMessage::Kind::Info, title, "colour picker", "cancel", 0});
  return false;
}

int HostEnvironment::runCommand(const std::string& cmd) {
  if (commands.size() < 100000) commands.push_back(cmd);
  if (!commandHandler) return 0;
  try {
    return commandHandler(cmd);
  } catch (...) {
    return 0;
  }
}

void* HostEnvironment::findMemory(bool render, const std::string& name) {
  auto& m = memory_[render ? 1 : 0];
  auto it = m.find(name);
  return it == m.end() || it->second.empty() ? nullptr : it->second.data();
}

void* HostEnvironment::createMemory(bool render, const std::string& name, std::size_t size) {
  auto& m = memory_[render ? 1 : 0];
  // An existing block of that name is handed back as it is.
  auto it = m.find(name);
  if (it != m.end()) return it->second.empty() ? nullptr : it->second.data();
  if (size == 0 || size > (std::size_t{1} << 32)) return nullptr;
  try {
    auto& block = m[name];
    block.assign(size, 0);
    return block.data();
  } catch (const std::bad_alloc&) {
    m.erase(name);
    return nullptr;
  }
}

std::size_t HostEnvironment::memorySize(bool render, const std::string& name) {
  auto& m = memory_[render ? 1 : 0];
  auto it = m.find(name);
  return it == m.end() ? 0 : it->second.size();
}

void HostEnvironment::clearRenderMemory() { memory_[1].clear(); }

HostSurfaceId HostEnvironment::surfaceId(std::size_t object, std::size_t surface) {
  if (object >= 0xFFFF || surface >= 0xFFFF) return nullptr;
  return reinterpret_cast<HostSurfaceId>(static_cast<std::uintptr_t>(((object + 1) << 16) | (surface + 1)));
}

bool HostEnvironment::decodeSurface(HostSurfaceId id, std::size_t& object, std::size_t& surface) const {
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(id);
  if (v == 0 || v > 0xFFFFFFFFu || (v & 0xFFFF) == 0 || (v >> 16) == 0) return false;
  object = (v >> 16) - 1;
  surface = (v & 0xFFFF) - 1;
  return object < scene_->objects.size() && surface < scene_->objects[object].surfaces.size();
}

const Surface* HostEnvironment::surface(HostSurfaceId id) const {
  std::size_t o = 0, s = 0;
  if (!decodeSurface(id, o, s)) return nullptr;
  return &scene_->objects[o].surfaces[s];
}

}  // namespace orvik::host
