#include "host/scene_file.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "host/import.h"

namespace orvik::host {

namespace {

constexpr int kMaxFrameSize = 16384;
constexpr int kMaxSamples = 64;
constexpr int kMaxRecursion = 64;

// A parse failure carrying the finished "file:line: message" text.
struct ParseError {
  std::string text;
};

struct Token {
  std::string text;
  bool quoted = false;
};

// A name that must be resolved once the whole file is read.
struct PendingRef {
  int line = 0;
  std::function<std::string()> resolve;  // returns "" or the message
};

// Splits a line into words and "quoted strings"; '#' outside a string starts
// a comment. Returns "" or the message.
std::string tokenize(const std::string& line, std::vector<Token>& out) {
  out.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token t{"", true};
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\' && i < line.size()) {
          const char e = line[i++];
          t.text += e == 'n' ? '\n' : e;
        } else {
          t.text += d;
        }
      }
      if (!closed) return "unterminated string";
      out.push_back(std::move(t));
    } else {
      Token t;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '"')
        t.text += line[i++];
      out.push_back(std::move(t));
    }
  }
  return "";
}

std::string quote(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') r += '\\';
    if (c == '\n') {
      r += "\\n";
      continue;
    }
    r += c;
  }
  return r + "\"";
}

std::string num(double v) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string vec(const Vec3& v) { return num(v.x) + " " + num(v.y) + " " + num(v.z); }

const char* kLightTypeNames[kLightTypeCount] = {"Distant", "Point", "Spot", "Linear", "Area"};
const char* kFalloffNames[4] = {"Off", "Linear", "InverseDistance", "InverseDistanceSquared"};
const char* kShadowNames[3] = {"Off", "RayTrace", "ShadowMap"};
const char* kItemTypeNames[kItemTypeCount] = {"Object", "Light", "Camera", "Bone"};

// Numeric surface channels, by keyword.
struct SurfaceChannel {
  const char* key;
  double Surface::*field;
  double min;
  double max;
};
constexpr double kBig = 1e9;
const SurfaceChannel kSurfaceChannels[] = {
    {"Luminosity", &Surface::luminosity, -kBig, kBig},
    {"Diffuse", &Surface::diffuse, -kBig, kBig},
    {"Specular", &Surface::specular, -kBig, kBig},
    {"Glossiness", &Surface::glossiness, 0.0, kBig},
    {"Reflection", &Surface::reflection, -kBig, kBig},
    {"Transparency", &Surface::transparency, -kBig, kBig},
    {"RefractionIndex", &Surface::refractionIndex, 1e-6, kBig},
    {"Translucency", &Surface::translucency, -kBig, kBig},
    {"ColorHighlights", &Surface::colorHighlights, -kBig, kBig},
    {"ColorFilter", &Surface::colorFilter, -kBig, kBig},
    {"DiffuseSharpness", &Surface::diffuseSharpness, -kBig, kBig},
    {"Bump", &Surface::bump, -kBig, kBig},
    {"ReflectionSeamAngle", &Surface::reflectionSeamAngle, -kBig, kBig},
    {"ReflectionBlurring", &Surface::reflectionBlurring, 0.0, kBig},
    {"RefractionBlurring", &Surface::refractionBlurring, 0.0, kBig},
};

enum class Context { Top, Object, Surface, Shader, Bone, Light, Camera, Plugin };

class Parser {
 public:
  Parser(const std::string& text, const std::string& fileName) : text_(text), file_(fileName) {}

  SceneReadResult run() {
    SceneReadResult result;
    try {
      scene_.fileName = file_;
      parseAll();
      result.scene = std::move(scene_);
      result.ok = true;
    } catch (const ParseError& e) {
      result.error = e.text;
    }
    return result;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const { failAt(line_, what); }
  [[noreturn]] void failAt(int line, const std::string& what) const {
    throw ParseError{file_ + ":" + std::to_string(line) + ": " + what};
  }

  // ---- argument access
  void expectArgs(std::size_t minArgs, std::size_t maxArgs) const {
    const std::size_t n = tokens_.size() - 1;
    if (n < minArgs || n > maxArgs) {
      std::string want = minArgs == maxArgs ? std::to_string(minArgs)
                                            : std::to_string(minArgs) + " to " + std::to_string(maxArgs);
      fail(tokens_[0].text + " takes " + want + (maxArgs == 1 ? " value" : " values") + ", got " +
           std::to_string(n));
    }
  }
  double number(std::size_t i, double min = -kBig, double max = kBig) const {
    const std::string& s = tokens_[i].text;
    double v = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (tokens_[i].quoted || res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
      fail(tokens_[0].text + ": '" + s + "' is not a number");
    if (v < min || v > max)
      fail(tokens_[0].text + ": " + s + " is out of range (" + num(min) + " to " + num(max) + ")");
    return v;
  }
  int integer(std::size_t i, int min, int max) const {
    const std::string& s = tokens_[i].text;
    long long v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (tokens_[i].quoted || res.ec != std::errc() || res.ptr != s.data() + s.size())
      fail(tokens_[0].text + ": '" + s + "' is not a whole number");
    if (v < min || v > max)
      fail(tokens_[0].text + ": " + s + " is out of range (" + std::to_string(min) + " to " +
           std::to_string(max) + ")");
    return static_cast<int>(v);
  }
  bool flag(std::size_t i) const {
    const std::string& s = tokens_[i].text;
    if (s == "1" || s == "on" || s == "yes" || s == "true") return true;
    if (s == "0" || s == "off" || s == "no" || s == "false") return false;
    fail(tokens_[0].text + ": '" + s + "' is not 0 or 1");
  }
  Vec3 triple(std::size_t i, double min = -kBig, double max = kBig) const {
    return {number(i, min, max), number(i + 1, min, max), number(i + 2, min, max)};
  }
  const std::string& name(std::size_t i) const {
    if (tokens_[i].text.empty()) fail(tokens_[0].text + ": empty name");
    return tokens_[i].text;
  }
  template <std::size_t N>
  int choice(std::size_t i, const char* (&names)[N]) const {
    for (std::size_t k = 0; k < N; ++k)
      if (tokens_[i].text == names[k]) return static_cast<int>(k);
    std::string list;
    for (std::size_t k = 0; k < N; ++k) list += (k ? ", " : "") + std::string(names[k]);
    fail(tokens_[0].text + ": '" + tokens_[i].text + "' is not one of " + list);
  }

  // ---- driver
  void parseAll() {
    std::istringstream in(text_);
    std::string raw;
    bool sawMagic = false;
    while (std::getline(in, raw)) {
      ++line_;
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      // Settings text lines: "| text", kept verbatim after the bar and one blank.
      const std::size_t first = raw.find_first_not_of(" \t");
      if (first != std::string::npos && raw[first] == '|') {
        if (!sawMagic) fail(std::string("the file must begin with ") + kSceneFileMagic);
        if (context() != Context::Shader && context() != Context::Plugin)
          fail("settings text ('|' line) outside a Shader or Plugin block");
        std::string body = raw.substr(first + 1);
        if (!body.empty() && body[0] == ' ') body.erase(0, 1);
        std::string& dest = settingsTarget();
        if (!dest.empty()) dest += '\n';
        dest += body;
        continue;
      }
      const std::string err = tokenize(raw, tokens_);
      if (!err.empty()) fail(err);
      if (tokens_.empty()) continue;
      if (tokens_[0].quoted) fail("a line must begin with a keyword, not a string");
      if (!sawMagic) {
        if (tokens_[0].text != kSceneFileMagic)
          fail(std::string("the file must begin with ") + kSceneFileMagic + " " +
               std::to_string(kSceneFileVersion) + ", found '" + tokens_[0].text + "'");
        expectArgs(1, 1);
        const int version = integer(1, 1, 1000000);
        if (version > kSceneFileVersion)
          fail("scene format version " + std::to_string(version) + " is newer than this host reads (" +
               std::to_string(kSceneFileVersion) + ")");
        sawMagic = true;
        continue;
      }
      dispatch();
    }
    if (!sawMagic) failAt(line_ > 0 ? line_ : 1, std::string("empty file: no ") + kSceneFileMagic + " line");
    if (context() != Context::Top) {
      static const char* ends[] = {"", "EndObject", "EndSurface", "EndShader", "EndBone",
                                   "EndLight", "EndCamera", "EndPlugin"};
      failAt(stack_.back().line, std::string("block not closed: ") + ends[static_cast<int>(context())] +
                                     " is missing before the end of the file");
    }
    finish();
  }

  struct Open {
    Context context;
    int line;
  };
  Context context() const { return stack_.empty() ? Context::Top : stack_.back().context; }
  void push(Context c) { stack_.push_back({c, line_}); }
  void pop(Context c, const char* keyword) {
    if (context() != c) fail(std::string(keyword) + " without a matching block");
    stack_.pop_back();
  }

  std::string& settingsTarget() {
    if (context() == Context::Plugin) return scene_.plugins.back().settings;
    return currentSurface().shaders.back().settings;
  }
  Object& currentObject() { return scene_.objects.back(); }
  Surface& currentSurface() { return currentObject().surfaces.back(); }

  Item& currentItem() {
    switch (context()) {
      case Context::Object: return currentObject();
      case Context::Bone: return scene_.bones.back();
      case Context::Light: return scene_.lights.back();
      default: return scene_.cameras.back();
    }
  }

  void dispatch() {
    const std::string& k = tokens_[0].text;
    switch (context()) {
      case Context::Top: return topLevel(k);
      case Context::Object: if (itemLine(k)) return; return objectLine(k);
      case Context::Bone: if (itemLine(k)) return; return boneLine(k);
      case Context::Light: if (itemLine(k)) return; return lightLine(k);
      case Context::Camera: if (itemLine(k)) return; return cameraLine(k);
      case Context::Surface: return surfaceLine(k);
      case Context::Shader:
        if (k == "EndShader") { expectArgs(0, 0); return pop(Context::Shader, "EndShader"); }
        fail("unexpected '" + k + "' in a Shader block (settings lines begin with '|')");
      case Context::Plugin:
        if (k == "EndPlugin") { expectArgs(0, 0); return pop(Context::Plugin, "EndPlugin"); }
        fail("unexpected '" + k + "' in a Plugin block (settings lines begin with '|')");
    }
  }

  void unknown(const std::string& k, const char* where) {
    if (k.rfind("End", 0) == 0) fail(k + " without a matching block");
    fail("unknown keyword '" + k + "' " + where);
  }

  void topLevel(const std::string& k) {
    RenderOptions& r = scene_.render;
    Backdrop& b = scene_.backdrop;
    if (k == "FirstFrame") { expectArgs(1, 1); r.firstFrame = integer(1, -1000000, 1000000); }
    else if (k == "LastFrame") { expectArgs(1, 1); r.lastFrame = integer(1, -1000000, 1000000); lastFrameLine_ = line_; }
    else if (k == "FrameStep") { expectArgs(1, 1); r.frameStep = integer(1, 1, 1000000); }
    else if (k == "FramesPerSecond") { expectArgs(1, 1); r.fps = number(1, 1e-3, 1e6); }
    else if (k == "FrameSize") { expectArgs(2, 2); r.width = integer(1, 1, kMaxFrameSize); r.height = integer(2, 1, kMaxFrameSize); }
    else if (k == "PixelAspect") { expectArgs(1, 1); r.pixelAspect = number(1, 1e-3, 1e3); }
    else if (k == "LimitedRegion") {
      expectArgs(4, 4);
      r.region = {true, integer(1, 0, kMaxFrameSize), integer(2, 0, kMaxFrameSize),
                  integer(3, 0, kMaxFrameSize), integer(4, 0, kMaxFrameSize)};
      if (r.region.x1 < r.region.x0 || r.region.y1 < r.region.y0)
        fail("LimitedRegion: the right and bottom edges must not lie before the left and top");
      regionLine_ = line_;
    }
    else if (k == "Antialiasing") {
      expectArgs(1, 2);
      r.aaMinSamples = integer(1, 1, kMaxSamples);
      r.aaMaxSamples = tokens_.size() > 2 ? integer(2, 1, kMaxSamples) : r.aaMinSamples;
      if (r.aaMaxSamples < r.aaMinSamples) fail("Antialiasing: the maximum is below the minimum");
    }
    else if (k == "FieldRendering") { expectArgs(1, 1); r.fieldRendering = flag(1); }
    else if (k == "RayTraceShadows") { expectArgs(1, 1); r.rayTraceShadows = flag(1); }
    else if (k == "RayTraceReflection") { expectArgs(1, 1); r.rayTraceReflection = flag(1); }
    else if (k == "RayTraceRefraction") { expectArgs(1, 1); r.rayTraceRefraction = flag(1); }
    else if (k == "RayTraceTransparency") { expectArgs(1, 1); r.rayTraceTransparency = flag(1); }
    else if (k == "RayRecursionLimit") { expectArgs(1, 1); r.rayRecursionLimit = integer(1, 0, kMaxRecursion); }
    else if (k == "Radiosity") { expectArgs(1, 1); r.radiosity = flag(1); }
    else if (k == "Caustics") { expectArgs(1, 1); r.caustics = flag(1); }
    else if (k == "BackdropColor") { expectArgs(3, 3); b.color = triple(1, 0.0); }
    else if (k == "GradientBackdrop") { expectArgs(1, 1); b.gradient = flag(1); }
    else if (k == "ZenithColor") { expectArgs(3, 3); b.zenith = triple(1, 0.0); }
    else if (k == "SkyColor") { expectArgs(3, 3); b.sky = triple(1, 0.0); }
    else if (k == "GroundColor") { expectArgs(3, 3); b.ground = triple(1, 0.0); }
    else if (k == "NadirColor") { expectArgs(3, 3); b.nadir = triple(1, 0.0); }
    else if (k == "SkySqueeze") { expectArgs(1, 1); b.skySqueeze = number(1, 0.0); }
    else if (k == "GroundSqueeze") { expectArgs(1, 1); b.groundSqueeze = number(1, 0.0); }
    else if (k == "BackgroundImage") { expectArgs(1, 1); imageRef(name(1), &b.image); }
    else if (k == "AmbientColor") { expectArgs(3, 3); scene_.ambientColor = triple(1, 0.0); }
    else if (k == "AmbientIntensity") { expectArgs(1, 1); scene_.ambientIntensity = number(1, 0.0); }
    else if (k == "RenderCamera") { expectArgs(1, 1); itemRef(ItemType::Camera, name(1), &r.camera, kNoItem); }
    else if (k == "Image") {
      expectArgs(2, 2);
      for (const Image& im : scene_.images)
        if (im.name == tokens_[1].text) fail("Image: a second image named '" + im.name + "'");
      scene_.images.push_back({name(1), name(2)});
    }
    else if (k == "Object") {
      scene_.addObject(namedItem<Object>());
      enterItem(Context::Object);
    }
    else if (k == "Light") {
      scene_.addLight(namedItem<Light>());
      enterItem(Context::Light);
    }
    else if (k == "Camera") {
      scene_.addCamera(namedItem<Camera>());
      enterItem(Context::Camera);
    }
    else if (k == "Plugin") {
      expectArgs(2, 2);
      const std::string cls = name(1);
      if (cls != "MasterHandler" && cls != "PixelFilterHandler")
        fail("Plugin: class '" + cls + "' is not MasterHandler or PixelFilterHandler");
      for (const PluginBlock& p : scene_.plugins)
        if (p.serverClass == cls && p.server == tokens_[2].text)
          fail("Plugin: a second " + cls + " " + p.server + " block");
      scene_.plugins.push_back({cls, name(2), ""});
      push(Context::Plugin);
    }
    else unknown(k, "at the top level");
  }

  // ---- items
  struct ItemState {
    TransformKey base;
    bool hasKeys = false;
    std::vector<std::pair<double, TransformKey>> frameKeys;  // frame, key
  };
  std::vector<ItemState> itemStates_;  // parallel to the open item blocks
  struct FinishedItem {
    Item* (*get)(Scene&, std::size_t);
    std::size_t index;
    ItemState state;
  };
  std::vector<FinishedItem> finished_;

  void beginItem() { itemStates_.push_back({}); }

  // An item opened by "Object NAME", "Light NAME" or "Camera NAME" on this line.
  template <class Item>
  Item namedItem() {
    expectArgs(1, 1);
    Item item;
    item.name = name(1);
    item.sourceLine = line_;
    return item;
  }
  // The lines that follow describe the item just added.
  void enterItem(Context c) {
    beginItem();
    push(c);
  }

  void endItem(Item* (*get)(Scene&, std::size_t), std::size_t index) {
    finished_.push_back({get, index, itemStates_.back()});
    itemStates_.pop_back();
  }

  bool itemLine(const std::string& k) {
    ItemState& st = itemStates_.back();
    if (k == "Position") { expectArgs(3, 3); st.base.position = triple(1); }
    else if (k == "Rotation") { expectArgs(3, 3); st.base.rotation = triple(1); }
    else if (k == "Scale") { expectArgs(3, 3); st.base.scale = triple(1); }
    else if (k == "Pivot") { expectArgs(3, 3); currentItem().pivot = triple(1); }
    else if (k == "Key") {
      expectArgs(10, 10);
      TransformKey key{0.0, triple(2), triple(5), triple(8)};
      const double frame = number(1);
      for (auto& fk : st.frameKeys)
        if (fk.first == frame) fail("Key: a second key at frame " + tokens_[1].text);
      st.frameKeys.push_back({frame, key});
    }
    else if (k == "Parent") {
      expectArgs(2, 2);
      const ItemType type = static_cast<ItemType>(choice(1, kItemTypeNames));
      Item& self = currentItem();
      self.parent = kNoItem;
      const ItemId selfId = currentItemId();
      itemRef(type, name(2), &self.parent, selfId);
    }
    else return false;
    return true;
  }

  ItemId currentItemId() const {
    switch (context()) {
      case Context::Object: return makeItemId(ItemType::Object, scene_.objects.size() - 1);
      case Context::Bone: return makeItemId(ItemType::Bone, scene_.bones.size() - 1);
      case Context::Light: return makeItemId(ItemType::Light, scene_.lights.size() - 1);
      default: return makeItemId(ItemType::Camera, scene_.cameras.size() - 1);
    }
  }

  // Resolves a name to an item id after the whole file is read. The id is
  // written into a scene field, addressed by item kind and index, because
  // the vectors may still grow.
  void itemRef(ItemType type, const std::string& itemName, ItemId* /*unused*/, ItemId self) {
    const int line = line_;
    const std::string keyword = tokens_[0].text;
    // Where to store the result: the current item's parent or the render camera.
    const bool isParent = keyword == "Parent";
    const ItemId owner = self;
    pending_.push_back({line, [this, type, itemName, keyword, isParent, owner]() -> std::string {
      const ItemId id = scene_.find(type, itemName);
      if (id == kNoItem)
        return keyword + ": no " + kItemTypeNames[static_cast<int>(type)] + " named '" + itemName + "'";
      if (isParent) {
        if (id == owner) return "Parent: an item cannot be its own parent";
        scene_.item(owner)->parent = id;
      } else {
        scene_.render.camera = id;
      }
      return "";
    }});
  }

  void imageRef(const std::string& imageName, int* /*unused*/) {
    const std::string keyword = tokens_[0].text;
    // The target is found again by a setter, for the same reason as items.
    std::function<void(int)> set;
    if (keyword == "BackgroundImage") {
      set = [this](int i) { scene_.backdrop.image = i; };
    } else if (keyword == "ProjectionImage") {
      const std::size_t li = scene_.lights.size() - 1;
      set = [this, li](int i) { scene_.lights[li].projectionImage = i; };
    } else {
      const std::size_t oi = scene_.objects.size() - 1, si = currentObject().surfaces.size() - 1;
      if (keyword == "ReflectionImage")
        set = [this, oi, si](int i) { scene_.objects[oi].surfaces[si].reflectionImage = i; };
      else
        set = [this, oi, si](int i) { scene_.objects[oi].surfaces[si].bumpTexture.image = i; };
    }
    pending_.push_back({line_, [this, imageName, keyword, set]() -> std::string {
      for (std::size_t i = 0; i < scene_.images.size(); ++i)
        if (scene_.images[i].name == imageName) {
          set(static_cast<int>(i));
          return "";
        }
      return keyword + ": no Image named '" + imageName + "' (declare it with an Image line)";
    }});
  }

  void objectLine(const std::string& k) {
    Object& o = currentObject();
    if (k == "EndObject") {
      expectArgs(0, 0);
      if (o.fileName.empty() && o.primitive.kind == PrimitiveKind::None)
        fail("EndObject: object '" + o.name + "' has neither a Mesh nor a Primitive line");
      pop(Context::Object, "EndObject");
      endItem([](Scene& s, std::size_t i) -> Item* { return &s.objects[i]; }, scene_.objects.size() - 1);
    }
    else if (k == "Mesh") {
      expectArgs(1, 1);
      if (o.primitive.kind != PrimitiveKind::None) fail("Mesh: the object already has a Primitive");
      o.fileName = name(1);
    }
    else if (k == "Primitive") {
      expectArgs(1, 5);
      if (!o.fileName.empty()) fail("Primitive: the object already has a Mesh");
      static const char* kinds[] = {"Sphere", "Box", "Plane", "Torus"};
      Primitive& p = o.primitive;
      p.kind = static_cast<PrimitiveKind>(choice(1, kinds) + 1);
      const std::size_t n = tokens_.size() - 2;
      switch (p.kind) {
        case PrimitiveKind::Sphere:
          if (n > 3) fail("Primitive Sphere takes: radius [segments rings]");
          if (n >= 1) p.radius = number(2, 1e-9);
          if (n == 2) fail("Primitive Sphere takes: radius [segments rings]");
          if (n == 3) { p.segments = integer(3, 3, 4096); p.rings = integer(4, 2, 4096); }
          break;
        case PrimitiveKind::Box:
          if (n != 0 && n != 3) fail("Primitive Box takes: width height depth");
          if (n == 3) p.size = triple(2, 1e-9);
          break;
        case PrimitiveKind::Plane:
          if (n != 0 && n != 2) fail("Primitive Plane takes: width depth");
          if (n == 2) p.size = {number(2, 1e-9), 0.0, number(3, 1e-9)};
          break;
        default:
          if (n != 0 && n != 2 && n != 4) fail("Primitive Torus takes: radius tube [segments rings]");
          if (n >= 2) { p.radius = number(2, 1e-9); p.minorRadius = number(3, 1e-9); }
          if (n == 4) { p.segments = integer(4, 3, 4096); p.rings = integer(5, 3, 4096); }
          break;
      }
    }
    else if (k == "SelfShadow") { expectArgs(1, 1); setBit(o.shadowOptions, kShadowSelf, flag(1)); }
    else if (k == "CastShadow") { expectArgs(1, 1); setBit(o.shadowOptions, kShadowCast, flag(1)); }
    else if (k == "ReceiveShadow") { expectArgs(1, 1); setBit(o.shadowOptions, kShadowReceive, flag(1)); }
    else if (k == "Dissolve") { expectArgs(1, 1); o.dissolve.value = number(1, 0.0, 1.0); }
    else if (k == "DissolveKey") { expectArgs(2, 2); dissolveKeys_.push_back({&o - scene_.objects.data(), number(1), number(2, 0.0, 1.0)}); }
    else if (k == "UnseenByCamera") { expectArgs(1, 1); o.unseenByCamera = flag(1); }
    else if (k == "UnseenByRays") { expectArgs(1, 1); o.unseenByRays = flag(1); }
    else if (k == "Surface") {
      expectArgs(1, 1);
      for (const Surface& s : o.surfaces)
        if (s.name == tokens_[1].text) fail("Surface: a second surface named '" + s.name + "' on this object");
      Surface s;
      s.name = name(1);
      o.surfaces.push_back(std::move(s));
      push(Context::Surface);
    }
    else if (k == "Bone") {
      expectArgs(1, 1);
      Bone b;
      b.name = name(1);
      b.sourceLine = line_;
      b.owner = makeItemId(ItemType::Object, scene_.objects.size() - 1);
      b.parent = b.owner;
      scene_.addBone(std::move(b));
      beginItem();
      push(Context::Bone);
    }
    else unknown(k, "in an Object block");
  }

  static void setBit(int& bits, int bit, bool on) { bits = on ? (bits | bit) : (bits & ~bit); }

  void boneLine(const std::string& k) {
    Bone& b = scene_.bones.back();
    if (k == "EndBone") {
      expectArgs(0, 0);
      pop(Context::Bone, "EndBone");
      endItem([](Scene& s, std::size_t i) -> Item* { return &s.bones[i]; }, scene_.bones.size() - 1);
    }
    else if (k == "RestLength") { expectArgs(1, 1); b.restLength = number(1, 0.0); }
    else if (k == "Active") { expectArgs(1, 1); b.active = flag(1); }
    else unknown(k, "in a Bone block");
  }

  void surfaceLine(const std::string& k) {
    Surface& s = currentSurface();
    for (const SurfaceChannel& c : kSurfaceChannels)
      if (k == c.key) {
        expectArgs(1, 1);
        s.*c.field = number(1, c.min, c.max);
        return;
      }
    if (k == "EndSurface") { expectArgs(0, 0); pop(Context::Surface, "EndSurface"); }
    else if (k == "Color") { expectArgs(3, 3); s.color = triple(1, 0.0); }
    else if (k == "Comment") { expectArgs(1, 1); s.comment = tokens_[1].text; }
    else if (k == "Smoothing") {
      expectArgs(1, 2);
      s.smoothing = flag(1);
      if (tokens_.size() > 2) s.smoothingAngle = number(2, 0.0, 180.0);
    }
    else if (k == "DoubleSided") { expectArgs(1, 1); s.doubleSided = flag(1); }
    else if (k == "ReflectionOptions") { expectArgs(1, 1); s.reflectionOptions = integer(1, 0, 3); }
    else if (k == "ReflectionImage") { expectArgs(1, 1); imageRef(name(1), nullptr); }
    else if (k == "BumpTexture") {
      expectArgs(1, 5);
      static const char* kinds[] = {"None", "Noise", "Image"};
      BumpTexture& t = s.bumpTexture;
      t.kind = static_cast<BumpKind>(choice(1, kinds));
      const std::size_t n = tokens_.size() - 2;
      if (t.kind == BumpKind::None && n != 0) fail("BumpTexture None takes no values");
      if (t.kind == BumpKind::Noise) {
        if (n != 2) fail("BumpTexture Noise takes: amplitude frequency");
        t.amplitude = number(2);
        t.frequency = number(3, 0.0);
      }
      if (t.kind == BumpKind::Image) {
        if (n != 2 && n != 4) fail("BumpTexture Image takes: image amplitude [sizeX sizeY]");
        imageRef(name(2), nullptr);
        t.amplitude = number(3);
        if (n == 4) t.scale = {number(4, 1e-9), number(5, 1e-9), 1.0};
      }
    }
    else if (k == "Shader") {
      expectArgs(1, 2);
      ShaderRef ref;
      ref.server = name(1);
      if (tokens_.size() > 2) {
        if (tokens_[2].text != "Disabled") fail("Shader: the second word may only be Disabled");
        ref.enabled = false;
      }
      s.shaders.push_back(std::move(ref));
      push(Context::Shader);
    }
    else unknown(k, "in a Surface block");
  }

  void lightLine(const std::string& k) {
    Light& l = scene_.lights.back();
    if (k == "EndLight") {
      expectArgs(0, 0);
      pop(Context::Light, "EndLight");
      endItem([](Scene& s, std::size_t i) -> Item* { return &s.lights[i]; }, scene_.lights.size() - 1);
    }
    else if (k == "Type") { expectArgs(1, 1); l.type = static_cast<LightType>(choice(1, kLightTypeNames)); }
    else if (k == "Color") { expectArgs(3, 3); l.color = triple(1, 0.0); }
    else if (k == "Intensity") { expectArgs(1, 1); l.intensity.value = number(1); }
    else if (k == "IntensityKey") { expectArgs(2, 2); intensityKeys_.push_back({static_cast<std::ptrdiff_t>(scene_.lights.size() - 1), number(1), number(2)}); }
    else if (k == "Falloff") {
      expectArgs(1, 2);
      l.falloff = static_cast<Falloff>(choice(1, kFalloffNames));
      if (tokens_.size() > 2) l.range = number(2, 0.0);
    }
    else if (k == "Range") { expectArgs(1, 1); l.range = number(1, 0.0); }
    else if (k == "LimitedRange") { expectArgs(1, 1); l.limitedRange = flag(1); }
    else if (k == "ConeAngle") { expectArgs(1, 1); l.coneAngle = number(1, 0.0, 180.0); }
    else if (k == "EdgeAngle") { expectArgs(1, 1); l.edgeAngle = number(1, 0.0, 180.0); }
    else if (k == "Shadow") { expectArgs(1, 1); l.shadowType = static_cast<ShadowType>(choice(1, kShadowNames)); }
    else if (k == "ShadowColor") { expectArgs(3, 3); l.shadowColor = triple(1, 0.0); }
    else if (k == "ShadowLevel") { expectArgs(1, 1); l.shadowLevel = number(1, 0.0); }
    else if (k == "Length") { expectArgs(1, 1); l.length = number(1, 0.0); }
    else if (k == "Size") { expectArgs(2, 2); l.width = number(1, 0.0); l.height = number(2, 0.0); }
    else if (k == "Quality") { expectArgs(1, 1); l.quality = integer(1, 0, 64); }
    else if (k == "ProjectionImage") { expectArgs(1, 1); imageRef(name(1), nullptr); }
    else if (k == "Exclude") {
      expectArgs(1, 1);
      const std::string target = name(1);
      const std::size_t li = scene_.lights.size() - 1;
      l.excludedObjects.push_back(target);
      pending_.push_back({line_, [this, target, li]() -> std::string {
        (void)li;
        if (scene_.find(ItemType::Object, target) == kNoItem)
          return "Exclude: no Object named '" + target + "'";
        return "";
      }});
    }
    else if (k == "NoDiffuse") { expectArgs(1, 1); l.noDiffuse = flag(1); }
    else if (k == "NoSpecular") { expectArgs(1, 1); l.noSpecular = flag(1); }
    else unknown(k, "in a Light block");
  }

  void cameraLine(const std::string& k) {
    Camera& c = scene_.cameras.back();
    if (k == "EndCamera") {
      expectArgs(0, 0);
      pop(Context::Camera, "EndCamera");
      endItem([](Scene& s, std::size_t i) -> Item* { return &s.cameras[i]; }, scene_.cameras.size() - 1);
    }
    else if (k == "ZoomFactor") { expectArgs(1, 1); c.zoomFactor = number(1, 1e-6); }
    else if (k == "PixelAspect") { expectArgs(1, 1); c.pixelAspect = number(1, 1e-3, 1e3); }
    else unknown(k, "in a Camera block");
  }

  // ---- after the last line
  void finish() {
    RenderOptions& r = scene_.render;
    if (r.lastFrame < r.firstFrame) failAt(lastFrameLine_, "LastFrame lies before FirstFrame");
    if (r.region.enabled && (r.region.x1 >= r.width || r.region.y1 >= r.height))
      failAt(regionLine_, "LimitedRegion reaches past the frame (" + std::to_string(r.width) + " x " +
                              std::to_string(r.height) + ")");
    for (const PendingRef& p : pending_) {
      const std::string err = p.resolve();
      if (!err.empty()) failAt(p.line, err);
    }
    // Frame numbers become seconds now that the rate is known.
    const double fps = r.fps;
    for (FinishedItem& f : finished_) {
      Item* it = f.get(scene_, f.index);
      if (f.state.frameKeys.empty()) {
        it->motion.keys = {f.state.base};
      } else {
        for (auto& [frame, key] : f.state.frameKeys) {
          key.time = frame / fps;
          it->motion.setKey(key);
        }
      }
    }
    for (const auto& k : dissolveKeys_) insertKey(scene_.objects[k.index].dissolve, k.frame / fps, k.value);
    for (const auto& k : intensityKeys_) insertKey(scene_.lights[k.index].intensity, k.frame / fps, k.value);
    // Parent chains must end.
    for (int t = 0; t < kItemTypeCount; ++t)
      for (ItemId id = scene_.first(static_cast<ItemType>(t)); id != kNoItem; id = scene_.next(id)) {
        ItemId p = scene_.item(id)->parent;
        for (std::size_t steps = 0; p != kNoItem; p = scene_.item(p)->parent)
          if (p == id || ++steps > 100000)
            failAt(scene_.item(id)->sourceLine, "'" + scene_.item(id)->name + "' is its own ancestor (Parent cycle)");
      }
  }

  static void insertKey(Envelope& e, double time, double value) {
    auto pos = std::lower_bound(e.keys.begin(), e.keys.end(), time,
                                [](const Envelope::Key& k, double t) { return k.time < t; });
    if (pos != e.keys.end() && pos->time == time)
      pos->value = value;
    else
      e.keys.insert(pos, {time, value});
  }

  struct ScalarKey {
    std::ptrdiff_t index;
    double frame;
    double value;
  };

  const std::string& text_;
  std::string file_;
  Scene scene_;
  int line_ = 0;
  int lastFrameLine_ = 0;
  int regionLine_ = 0;
  std::vector<Token> tokens_;
  std::vector<Open> stack_;
  std::vector<PendingRef> pending_;
  std::vector<ScalarKey> dissolveKeys_;
  std::vector<ScalarKey> intensityKeys_;
};

void writeMotion(std::ostringstream& o, const Item& it, double fps, const char* indent) {
  if (it.motion.keys.size() == 1) {
    const TransformKey& k = it.motion.keys[0];
    o << indent << "Position " << vec(k.position) << "\n";
    o << indent << "Rotation " << vec(k.rotation) << "\n";
    o << indent << "Scale " << vec(k.scale) << "\n";
  } else {
    for (const TransformKey& k : it.motion.keys)
      o << indent << "Key " << num(k.time * fps) << " " << vec(k.position) << " " << vec(k.rotation) << " "
        << vec(k.scale) << "\n";
  }
  if (!(it.pivot == Vec3{})) o << indent << "Pivot " << vec(it.pivot) << "\n";
}

void writeSettings(std::ostringstream& o, const std::string& settings, const char* indent) {
  if (settings.empty()) return;
  std::istringstream in(settings);
  std::string line;
  while (std::getline(in, line)) o << indent << "| " << line << "\n";
}

std::string parentLine(const Scene& s, const Item& it, const char* indent) {
  if (it.parent == kNoItem || !s.contains(it.parent)) return "";
  return std::string(indent) + "Parent " + kItemTypeNames[static_cast<int>(itemTypeOf(it.parent))] + " " +
         quote(s.displayName(it.parent)) + "\n";
}

}  // namespace

SceneReadResult parseSceneText(const std::string& text, const std::string& fileName) {
  return Parser(text, fileName).run();
}

std::string loadSceneMeshes(Scene& scene, const std::string& baseDir) {
  namespace fs = std::filesystem;
  for (Object& o : scene.objects) {
    if (o.fileName.empty() || !o.mesh.empty()) continue;
    fs::path p(o.fileName);
    if (p.is_relative() && !baseDir.empty()) p = fs::path(baseDir) / p;
    ImportedMesh imported;
    const std::string err = importMeshFile(p.string(), imported);
    if (!err.empty())
      return scene.fileName + ":" + std::to_string(o.sourceLine) + ": object '" + o.name + "': " + err;
    // Surfaces named in the scene replace the file's surfaces of that name;
    // the file's others are kept, in the file's order.
    std::vector<Surface> merged = std::move(imported.surfaces);
    for (Surface& s : o.surfaces) {
      bool replaced = false;
      for (Surface& m : merged)
        if (m.name == s.name) {
          m = s;
          replaced = true;
        }
      if (!replaced) merged.push_back(s);
    }
    if (merged.empty()) {
      Surface s;
      s.name = "Default";
      merged.push_back(s);
    }
    o.surfaces = std::move(merged);
    o.mesh = std::move(imported.mesh);
    for (Triangle& t : o.mesh.triangles)
      if (t.surface >= o.surfaces.size()) t.surface = 0;
  }
  return "";
}

SceneReadResult loadSceneFile(const std::string& path) {
  SceneReadResult result;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = path + ": cannot open the scene file";
    return result;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    result.error = path + ": cannot read the scene file";
    return result;
  }
  result = parseSceneText(text.str(), path);
  if (!result.ok) return result;
  const std::string err =
      loadSceneMeshes(result.scene, std::filesystem::path(path).parent_path().string());
  if (!err.empty()) {
    result.ok = false;
    result.scene = Scene{};
    result.error = err;
  }
  return result;
}

std::string writeSceneText(const Scene& s) {
  std::ostringstream o;
  const RenderOptions& r = s.render;
  const Backdrop& b = s.backdrop;
  auto imageName = [&](int i) { return quote(s.images.at(static_cast<std::size_t>(i)).name); };
  auto validImage = [&](int i) { return i >= 0 && static_cast<std::size_t>(i) < s.images.size(); };
  o << kSceneFileMagic << " " << kSceneFileVersion << "\n\n";
  o << "FirstFrame " << r.firstFrame << "\nLastFrame " << r.lastFrame << "\nFrameStep " << r.frameStep << "\n";
  o << "FramesPerSecond " << num(r.fps) << "\nFrameSize " << r.width << " " << r.height << "\n";
  o << "PixelAspect " << num(r.pixelAspect) << "\n";
  if (r.region.enabled)
    o << "LimitedRegion " << r.region.x0 << " " << r.region.y0 << " " << r.region.x1 << " " << r.region.y1 << "\n";
  o << "Antialiasing " << r.aaMinSamples << " " << r.aaMaxSamples << "\n";
  o << "FieldRendering " << r.fieldRendering << "\nRayTraceShadows " << r.rayTraceShadows
    << "\nRayTraceReflection " << r.rayTraceReflection << "\nRayTraceRefraction " << r.rayTraceRefraction
    << "\nRayTraceTransparency " << r.rayTraceTransparency << "\nRayRecursionLimit " << r.rayRecursionLimit
    << "\nRadiosity " << r.radiosity << "\nCaustics " << r.caustics << "\n";
  o << "BackdropColor " << vec(b.color) << "\nGradientBackdrop " << b.gradient << "\nZenithColor "
    << vec(b.zenith) << "\nSkyColor " << vec(b.sky) << "\nGroundColor " << vec(b.ground) << "\nNadirColor "
    << vec(b.nadir) << "\nSkySqueeze " << num(b.skySqueeze) << "\nGroundSqueeze " << num(b.groundSqueeze) << "\n";
  o << "AmbientColor " << vec(s.ambientColor) << "\nAmbientIntensity " << num(s.ambientIntensity) << "\n";
  for (const Image& im : s.images) o << "Image " << quote(im.name) << " " << quote(im.fileName) << "\n";
  if (validImage(b.image)) o << "BackgroundImage " << imageName(b.image) << "\n";
  const double fps = r.fps;

  for (std::size_t oi = 0; oi < s.objects.size(); ++oi) {
    const Object& ob = s.objects[oi];
    o << "\nObject " << quote(ob.name) << "\n";
    if (!ob.fileName.empty()) o << "  Mesh " << quote(ob.fileName) << "\n";
    const Primitive& p = ob.primitive;
    switch (p.kind) {
      case PrimitiveKind::Sphere:
        o << "  Primitive Sphere " << num(p.radius) << " " << p.segments << " " << p.rings << "\n"; break;
      case PrimitiveKind::Box: o << "  Primitive Box " << vec(p.size) << "\n"; break;
      case PrimitiveKind::Plane: o << "  Primitive Plane " << num(p.size.x) << " " << num(p.size.z) << "\n"; break;
      case PrimitiveKind::Torus:
        o << "  Primitive Torus " << num(p.radius) << " " << num(p.minorRadius) << " " << p.segments << " "
          << p.rings << "\n";
        break;
      case PrimitiveKind::None: break;
    }
    o << parentLine(s, ob, "  ");
    writeMotion(o, ob, fps, "  ");
    o << "  SelfShadow " << ((ob.shadowOptions & kShadowSelf) != 0) << "\n  CastShadow "
      << ((ob.shadowOptions & kShadowCast) != 0) << "\n  ReceiveShadow " << ((ob.shadowOptions & kShadowReceive) != 0)
      << "\n";
    o << "  Dissolve " << num(ob.dissolve.value) << "\n";
    for (const auto& k : ob.dissolve.keys) o << "  DissolveKey " << num(k.time * fps) << " " << num(k.value) << "\n";
    o << "  UnseenByCamera " << ob.unseenByCamera << "\n  UnseenByRays " << ob.unseenByRays << "\n";
    for (const Surface& sf : ob.surfaces) {
      o << "  Surface " << quote(sf.name) << "\n";
      if (!sf.comment.empty()) o << "    Comment " << quote(sf.comment) << "\n";
      o << "    Color " << vec(sf.color) << "\n";
      for (const SurfaceChannel& c : kSurfaceChannels) o << "    " << c.key << " " << num(sf.*c.field) << "\n";
      o << "    Smoothing " << sf.smoothing << " " << num(sf.smoothingAngle) << "\n";
      o << "    DoubleSided " << sf.doubleSided << "\n    ReflectionOptions " << sf.reflectionOptions << "\n";
      if (validImage(sf.reflectionImage)) o << "    ReflectionImage " << imageName(sf.reflectionImage) << "\n";
      const BumpTexture& t = sf.bumpTexture;
      if (t.kind == BumpKind::Noise)
        o << "    BumpTexture Noise " << num(t.amplitude) << " " << num(t.frequency) << "\n";
      if (t.kind == BumpKind::Image && validImage(t.image))
        o << "    BumpTexture Image " << imageName(t.image) << " " << num(t.amplitude) << " " << num(t.scale.x)
          << " " << num(t.scale.y) << "\n";
      for (const ShaderRef& sh : sf.shaders) {
        o << "    Shader " << quote(sh.server) << (sh.enabled ? "" : " Disabled") << "\n";
        writeSettings(o, sh.settings, "      ");
        o << "    EndShader\n";
      }
      o << "  EndSurface\n";
    }
    for (std::size_t bi = 0; bi < s.bones.size(); ++bi) {
      const Bone& bone = s.bones[bi];
      if (bone.owner != makeItemId(ItemType::Object, oi)) continue;
      o << "  Bone " << quote(bone.name) << "\n";
      if (bone.parent != bone.owner) o << parentLine(s, bone, "    ");
      writeMotion(o, bone, fps, "    ");
      o << "    RestLength " << num(bone.restLength) << "\n    Active " << bone.active << "\n  EndBone\n";
    }
    o << "EndObject\n";
  }
  for (const Light& l : s.lights) {
    o << "\nLight " << quote(l.name) << "\n";
    o << "  Type " << kLightTypeNames[static_cast<int>(l.type)] << "\n";
    o << parentLine(s, l, "  ");
    writeMotion(o, l, fps, "  ");
    o << "  Color " << vec(l.color) << "\n  Intensity " << num(l.intensity.value) << "\n";
    for (const auto& k : l.intensity.keys) o << "  IntensityKey " << num(k.time * fps) << " " << num(k.value) << "\n";
    o << "  Falloff " << kFalloffNames[static_cast<int>(l.falloff)] << " " << num(l.range) << "\n";
    o << "  LimitedRange " << l.limitedRange << "\n  ConeAngle " << num(l.coneAngle) << "\n  EdgeAngle "
      << num(l.edgeAngle) << "\n";
    o << "  Shadow " << kShadowNames[static_cast<int>(l.shadowType)] << "\n  ShadowColor " << vec(l.shadowColor)
      << "\n  ShadowLevel " << num(l.shadowLevel) << "\n";
    o << "  Length " << num(l.length) << "\n  Size " << num(l.width) << " " << num(l.height) << "\n  Quality "
      << l.quality << "\n";
    if (validImage(l.projectionImage)) o << "  ProjectionImage " << imageName(l.projectionImage) << "\n";
    for (const std::string& x : l.excludedObjects) o << "  Exclude " << quote(x) << "\n";
    o << "  NoDiffuse " << l.noDiffuse << "\n  NoSpecular " << l.noSpecular << "\nEndLight\n";
  }
  for (const Camera& c : s.cameras) {
    o << "\nCamera " << quote(c.name) << "\n";
    o << parentLine(s, c, "  ");
    writeMotion(o, c, fps, "  ");
    o << "  ZoomFactor " << num(c.zoomFactor) << "\n  PixelAspect " << num(c.pixelAspect) << "\nEndCamera\n";
  }
  if (s.camera(r.camera)) o << "\nRenderCamera " << quote(s.displayName(r.camera)) << "\n";
  for (const PluginBlock& p : s.plugins) {
    o << "\nPlugin " << p.serverClass << " " << quote(p.server) << "\n";
    writeSettings(o, p.settings, "  ");
    o << "EndPlugin\n";
  }
  return o.str();
}

}  // namespace orvik::host
