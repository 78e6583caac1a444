#include "host/import_lws.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace orvik::host {

namespace {

constexpr int kMotionChannels = 9;  // x y z, heading pitch bank, scale x y z
constexpr int kMaxKeys = 100000;

struct ParseError {
  std::string text;
};

// One channel of a motion: (time in seconds, value) pairs.
using Channel = std::vector<std::pair<double, double>>;

// Whole numbers from text: values beyond the int range are clamped, never
// converted past it.
int toInt(double v) {
  if (!(v > -2147483648.0)) return -2147483647 - 1;
  if (!(v < 2147483647.0)) return 2147483647;
  return static_cast<int>(v);
}

double channelAt(const Channel& c, double t, double fallback) {
  if (c.empty()) return fallback;
  if (t <= c.front().first) return c.front().second;
  if (t >= c.back().first) return c.back().second;
  for (std::size_t i = 1; i < c.size(); ++i)
    if (t <= c[i].first) {
      const auto& a = c[i - 1];
      const auto& b = c[i];
      const double span = b.first - a.first;
      return span > 0.0 ? a.second + (b.second - a.second) * (t - a.first) / span : b.second;
    }
  return c.back().second;
}

class LwsParser {
 public:
  LwsParser(const std::string& text, const std::string& file) : file_(file) {
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l)) {
      if (!l.empty() && l.back() == '\r') l.pop_back();
      lines_.push_back(l);
    }
  }

  SceneReadResult run() {
    SceneReadResult r;
    try {
      parse();
      r.scene = std::move(scene_);
      r.scene.fileName = file_;
      r.ok = true;
    } catch (const ParseError& e) {
      r.error = e.text;
    }
    return r;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw ParseError{file_ + ":" + std::to_string(pos_) + ": " + what};
  }

  // Next line's words; false at the end. pos_ is the 1-based line number.
  bool nextLine(std::vector<std::string>& words) {
    while (pos_ < lines_.size()) {
      line_ = lines_[pos_++];
      words.clear();
      std::istringstream in(line_);
      std::string w;
      while (in >> w) words.push_back(w);
      if (!words.empty()) return true;
    }
    return false;
  }

  double num(const std::string& s) const {
    double v = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
      fail("'" + s + "' is not a number");
    return v;
  }
  double arg(const std::vector<std::string>& w, std::size_t i) const {
    if (i >= w.size()) fail(w[0] + " needs " + std::to_string(i) + " value" + (i > 1 ? "s" : ""));
    return num(w[i]);
  }
  Vec3 colour(const std::vector<std::string>& w) const {
    Vec3 c{arg(w, 1), arg(w, 2), arg(w, 3)};
    // Files before version 3 give colours as 0..255.
    return version_ < 3 ? c / 255.0 : c;
  }
  // The rest of the line after the first `skip` words, as written.
  std::string restOfLine(std::size_t skip) const {
    std::size_t p = 0;
    for (std::size_t i = 0; i < skip; ++i) {
      p = line_.find_first_not_of(" \t", p);
      p = line_.find_first_of(" \t", p);
      if (p == std::string::npos) return "";
    }
    p = line_.find_first_not_of(" \t", p);
    if (p == std::string::npos) return "";
    std::string s = line_.substr(p);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
  }

  void parse() {
    std::vector<std::string> w;
    if (!nextLine(w) || w[0] != "LWSC") fail("not a scene file: the first line must be LWSC");
    if (!nextLine(w)) fail("the version line is missing");
    version_ = toInt(num(w[0]));
    while (nextLine(w)) line(w);
    finish();
  }

  Item* current() {
    switch (currentType_) {
      case ItemType::Object: return scene_.objects.empty() ? nullptr : &scene_.objects.back();
      case ItemType::Light: return scene_.lights.empty() ? nullptr : &scene_.lights.back();
      case ItemType::Camera: return scene_.cameras.empty() ? nullptr : &scene_.cameras.back();
      default: return nullptr;
    }
  }

  ItemId currentId() const {
    return makeItemId(currentType_, scene_.count(currentType_) - 1);
  }

  void newObject(const std::string& fileName, const std::string& name, int lineNo) {
    Object o;
    o.fileName = fileName;
    o.name = name;
    o.sourceLine = lineNo;
    scene_.addObject(std::move(o));
    currentType_ = ItemType::Object;
    parents_.emplace_back();
  }

  void line(const std::vector<std::string>& w) {
    const std::string& k = w[0];
    RenderOptions& r = scene_.render;
    Backdrop& b = scene_.backdrop;
    if (k == "FirstFrame") r.firstFrame = toInt(arg(w, 1));
    else if (k == "LastFrame") r.lastFrame = toInt(arg(w, 1));
    else if (k == "FrameStep") r.frameStep = std::max(1, toInt(arg(w, 1)));
    else if (k == "FramesPerSecond") { const double f = arg(w, 1); if (f > 0.0) r.fps = f; }
    else if (k == "LoadObjectLayer") {
      // LoadObjectLayer layer [item id] file
      const bool hasId = w.size() >= 4 && w[2].find_first_not_of("0123456789abcdefABCDEF") == std::string::npos &&
                         w[2].size() == 8;
      const std::string file = restOfLine(hasId ? 3 : 2);
      if (file.empty()) fail("LoadObjectLayer names no object file");
      newObject(file, std::filesystem::path(file).stem().string(), static_cast<int>(pos_));
      if (hasId) ids_[w[2]] = makeItemId(ItemType::Object, scene_.objects.size() - 1);
    }
    else if (k == "LoadObject") {
      const std::string file = restOfLine(1);
      if (file.empty()) fail("LoadObject names no object file");
      newObject(file, std::filesystem::path(file).stem().string(), static_cast<int>(pos_));
    }
    else if (k == "AddNullObject") {
      const bool hasId = w.size() >= 3 && w[1].size() == 8;
      newObject("", restOfLine(hasId ? 2 : 1), static_cast<int>(pos_));
      if (hasId) ids_[w[1]] = makeItemId(ItemType::Object, scene_.objects.size() - 1);
    }
    else if (k == "AddLight") {
      Light l;
      l.name = "Light";
      l.sourceLine = static_cast<int>(pos_);
      // Defaults of a light in these files: no falloff, ray-traced shadows.
      scene_.addLight(std::move(l));
      currentType_ = ItemType::Light;
      lightParents_.emplace_back();
      if (w.size() >= 2) ids_[w[1]] = makeItemId(ItemType::Light, scene_.lights.size() - 1);
    }
    else if (k == "AddCamera") {
      Camera c;
      c.name = "Camera";
      c.sourceLine = static_cast<int>(pos_);
      scene_.addCamera(std::move(c));
      currentType_ = ItemType::Camera;
      cameraParents_.emplace_back();
      if (w.size() >= 2) ids_[w[1]] = makeItemId(ItemType::Camera, scene_.cameras.size() - 1);
    }
    else if (k == "ObjectMotion" || k == "LightMotion" || k == "CameraMotion") motion();
    else if (k == "ParentItem" && w.size() >= 2) parentRef() = w[1];
    else if (k == "ParentObject" && w.size() >= 2) parentRef() = "#" + w[1];
    else if (k == "LightName" && !scene_.lights.empty()) scene_.lights.back().name = restOfLine(1);
    else if (k == "CameraName" && !scene_.cameras.empty()) scene_.cameras.back().name = restOfLine(1);
    else if (k == "LightColor" && !scene_.lights.empty()) scene_.lights.back().color = colour(w);
    else if ((k == "LightIntensity" || k == "LgtIntensity") && !scene_.lights.empty())
      scene_.lights.back().intensity = Envelope(scalarOrEnvelope(w));
    else if (k == "LightType" && !scene_.lights.empty()) {
      const int t = toInt(arg(w, 1));
      if (t < 0 || t >= kLightTypeCount) fail("LightType " + w[1] + " is not 0 to 4");
      scene_.lights.back().type = static_cast<LightType>(t);
    }
    else if (k == "LightFalloffType" && !scene_.lights.empty()) {
      const int f = toInt(arg(w, 1));
      scene_.lights.back().falloff = f >= 0 && f <= 3 ? static_cast<Falloff>(f) : Falloff::Off;
    }
    else if (k == "LightRange" && !scene_.lights.empty()) scene_.lights.back().range = std::max(0.0, scalarOrEnvelope(w));
    else if (k == "LightConeAngle" && !scene_.lights.empty()) scene_.lights.back().coneAngle = scalarOrEnvelope(w);
    else if (k == "LightEdgeAngle" && !scene_.lights.empty()) scene_.lights.back().edgeAngle = scalarOrEnvelope(w);
    else if (k == "LightQuality" && !scene_.lights.empty()) scene_.lights.back().quality = toInt(arg(w, 1));
    else if (k == "AffectDiffuse" && !scene_.lights.empty()) scene_.lights.back().noDiffuse = arg(w, 1) == 0.0;
    else if (k == "AffectSpecular" && !scene_.lights.empty()) scene_.lights.back().noSpecular = arg(w, 1) == 0.0;
    else if (k == "ShadowType" && !scene_.lights.empty()) {
      const int s = toInt(arg(w, 1));
      scene_.lights.back().shadowType = s >= 0 && s <= 2 ? static_cast<ShadowType>(s) : ShadowType::Off;
    }
    else if (k == "ShadowColor" && !scene_.lights.empty()) scene_.lights.back().shadowColor = colour(w);
    else if (k == "ZoomFactor" && !scene_.cameras.empty()) {
      const double z = scalarOrEnvelope(w);
      if (z > 0.0) scene_.cameras.back().zoomFactor = z;
    }
    else if (k == "FrameSize" || k == "GlobalFrameSize") {
      const double fw = arg(w, 1), fh = arg(w, 2);
      if (fw >= 1 && fh >= 1 && fw <= 16384 && fh <= 16384) {
        r.width = static_cast<int>(fw);
        r.height = static_cast<int>(fh);
      }
    }
    else if (k == "AASamples" || k == "Antialiasing") {
      const int n = toInt(arg(w, 1));
      if (n >= 1) r.aaMinSamples = r.aaMaxSamples = std::min(n, 64);
    }
    else if (k == "FieldRendering") r.fieldRendering = arg(w, 1) != 0.0;
    else if (k == "AmbientColor") scene_.ambientColor = colour(w);
    else if (k == "AmbientIntensity" || k == "AmbIntensity") scene_.ambientIntensity = scalarOrEnvelope(w);
    else if (k == "SolidBackdrop") b.gradient = arg(w, 1) == 0.0;
    else if (k == "BackdropColor") b.color = colour(w);
    else if (k == "ZenithColor") b.zenith = colour(w);
    else if (k == "SkyColor") b.sky = colour(w);
    else if (k == "GroundColor") b.ground = colour(w);
    else if (k == "NadirColor") b.nadir = colour(w);
    else if (k == "SkySqueezeAmount" || k == "SkySqueeze") b.skySqueeze = arg(w, 1);
    else if (k == "GroundSqueezeAmount" || k == "GroundSqueeze") b.groundSqueeze = arg(w, 1);
    else if (k == "RayTraceEffects") {
      const int bits = toInt(arg(w, 1));
      r.rayTraceShadows = bits & 1;
      r.rayTraceReflection = bits & 2;
      r.rayTraceRefraction = bits & 4;
      r.rayTraceTransparency = bits & 8;
    }
    else if (k == "RayRecursionLimit") r.rayRecursionLimit = std::clamp(toInt(arg(w, 1)), 0, 64);
    else if (k == "EnableRadiosity") r.radiosity = arg(w, 1) != 0.0;
    else if (k == "EnableCaustics") r.caustics = arg(w, 1) != 0.0;
    else if (k == "Plugin") plugin(w);
  }

  std::string& parentRef() {
    static std::string none;
    switch (currentType_) {
      case ItemType::Object: return parents_.empty() ? none : parents_.back();
      case ItemType::Light: return lightParents_.empty() ? none : lightParents_.back();
      case ItemType::Camera: return cameraParents_.empty() ? none : cameraParents_.back();
      default: return none;
    }
  }

  // "Keyword value" or "Keyword (envelope)" followed by an envelope block;
  // an envelope gives its first key's value.
  double scalarOrEnvelope(const std::vector<std::string>& w) {
    if (w.size() >= 2 && w[1] == "(envelope)") {
      const Channel c = envelopeBlock();
      return c.empty() ? 0.0 : c.front().second;
    }
    return arg(w, 1);
  }

  // "{ Envelope", key count, "Key value time ...", "Behaviors", "}".
  Channel envelopeBlock() {
    std::vector<std::string> w;
    if (!nextLine(w) || w[0] != "{") fail("an envelope block '{ Envelope' was expected");
    if (!nextLine(w)) fail("the envelope ends early");
    const double n = num(w[0]);
    if (n < 0 || n > kMaxKeys) fail("envelope key count " + w[0] + " is out of range");
    Channel c;
    for (int i = 0; i < static_cast<int>(n); ++i) {
      if (!nextLine(w) || w[0] != "Key") fail("an envelope key line was expected");
      c.emplace_back(arg(w, 2), arg(w, 1));
    }
    int depth = 1;
    while (depth > 0 && nextLine(w)) {
      if (w[0] == "}") --depth;
      else if (w[0] == "{") ++depth;
    }
    std::sort(c.begin(), c.end());
    return c;
  }

  void motion() {
    std::vector<Channel> ch(kMotionChannels);
    std::vector<std::string> w;
    if (!current()) fail("motion without an item");
    const ItemId it = currentId();
    if (!nextLine(w)) fail("the motion ends early");
    if (w[0] == "NumChannels") {
      const int n = toInt(arg(w, 1));
      for (int i = 0; i < n; ++i) {
        if (!nextLine(w) || w[0] != "Channel") fail("a Channel line was expected");
        const int index = toInt(arg(w, 1));
        Channel c = envelopeBlock();
        if (index >= 0 && index < kMotionChannels) ch[static_cast<std::size_t>(index)] = std::move(c);
      }
    } else if (version_ >= 2) {
      // Older per-channel layout: channel count, then per channel a key
      // count and lines "value time ...".
      const int n = toInt(num(w[0]));
      if (n < 0 || n > 64) fail("channel count " + w[0] + " is out of range");
      for (int i = 0; i < n; ++i) {
        if (!nextLine(w)) fail("the motion ends early");
        const int keys = toInt(num(w[0]));
        if (keys < 0 || keys > kMaxKeys) fail("key count " + w[0] + " is out of range");
        Channel c;
        for (int k = 0; k < keys; ++k) {
          if (!nextLine(w)) fail("the motion ends early");
          c.emplace_back(arg(w, 1), num(w[0]));
        }
        std::sort(c.begin(), c.end());
        if (i < kMotionChannels) ch[static_cast<std::size_t>(i)] = std::move(c);
      }
    } else {
      // The first layout: channel count, key count, then per key a line of
      // the nine values and a line starting with the frame number.
      const int n = toInt(num(w[0]));
      if (!nextLine(w)) fail("the motion ends early");
      const int keys = toInt(num(w[0]));
      if (keys < 0 || keys > kMaxKeys || n < 0 || n > 64) fail("key or channel count out of range");
      for (int k = 0; k < keys; ++k) {
        if (!nextLine(w)) fail("the motion ends early");
        std::vector<double> values;
        for (const std::string& s : w) values.push_back(num(s));
        if (!nextLine(w)) fail("the motion ends early");
        const double frame = num(w[0]);
        for (int i = 0; i < kMotionChannels && i < static_cast<int>(values.size()); ++i)
          ch[static_cast<std::size_t>(i)].emplace_back(frame, values[static_cast<std::size_t>(i)]);
      }
      frameTimedMotion_.insert(it);
    }
    motions_[it] = std::move(ch);
  }

  void plugin(const std::vector<std::string>& w) {
    // Plugin Class index Name, lines, EndPlugin. Scene-wide handlers keep
    // their text; the rest is skipped.
    const std::string cls = w.size() >= 2 ? w[1] : "";
    const std::string server = w.size() >= 4 ? w[3] : "";
    std::string text;
    const int start = static_cast<int>(pos_);
    bool closed = false;
    while (pos_ < lines_.size()) {
      const std::string raw = lines_[pos_++];
      std::string trimmed = raw;
      trimmed.erase(0, trimmed.find_first_not_of(" \t"));
      if (trimmed.rfind("EndPlugin", 0) == 0) {
        closed = true;
        break;
      }
      if (!text.empty()) text += '\n';
      text += raw;
    }
    if (!closed) {
      pos_ = static_cast<std::size_t>(start);
      fail("Plugin " + cls + " " + server + " has no EndPlugin");
    }
    if ((cls == "MasterHandler" || cls == "PixelFilterHandler") && !server.empty())
      scene_.plugins.push_back({cls, server, text});
  }

  void finish() {
    const double fps = scene_.render.fps;
    for (auto& [id, ch] : motions_) {
      Item* item = scene_.item(id);
      std::set<double> times;
      for (const Channel& c : ch)
        for (const auto& k : c) times.insert(k.first);
      if (times.empty()) times.insert(0.0);
      const bool framesGiven = frameTimedMotion_.count(id) != 0;
      // Rotations are radians from version 3 on, degrees before.
      const double toDegrees = version_ >= 3 ? radiansToDegrees(1.0) : 1.0;
      item->motion.keys.clear();
      for (double t : times) {
        TransformKey k;
        k.time = framesGiven ? t / fps : t;
        k.position = {channelAt(ch[0], t, 0), channelAt(ch[1], t, 0), channelAt(ch[2], t, 0)};
        k.rotation = Vec3{channelAt(ch[3], t, 0), channelAt(ch[4], t, 0), channelAt(ch[5], t, 0)} * toDegrees;
        k.scale = {channelAt(ch[6], t, 1), channelAt(ch[7], t, 1), channelAt(ch[8], t, 1)};
        item->motion.setKey(k);
      }
    }
    for (Light& l : scene_.lights) {
      // The size of linear and area lights is their scale.
      const TransformKey k = l.motion.at(0.0);
      l.width = std::abs(k.scale.x);
      l.height = std::abs(k.scale.y);
      l.length = std::abs(k.scale.z);
    }
    auto resolve = [&](const std::string& ref) -> ItemId {
      if (ref.empty()) return kNoItem;
      if (ref[0] == '#') {
        const int n = std::atoi(ref.c_str() + 1);
        return n >= 1 ? scene_.nth(ItemType::Object, static_cast<std::size_t>(n - 1)) : kNoItem;
      }
      auto found = ids_.find(ref);
      return found == ids_.end() ? kNoItem : found->second;
    };
    for (std::size_t i = 0; i < scene_.objects.size(); ++i) {
      const ItemId p = resolve(parents_[i]);
      if (p != makeItemId(ItemType::Object, i)) scene_.objects[i].parent = p;
    }
    for (std::size_t i = 0; i < scene_.lights.size(); ++i) scene_.lights[i].parent = resolve(lightParents_[i]);
    for (std::size_t i = 0; i < scene_.cameras.size(); ++i) scene_.cameras[i].parent = resolve(cameraParents_[i]);
    // Parent chains that loop are cut where they close.
    for (int t = 0; t < kItemTypeCount; ++t)
      for (ItemId id = scene_.first(static_cast<ItemType>(t)); id != kNoItem; id = scene_.next(id)) {
        int steps = 0;
        for (ItemId p = scene_.item(id)->parent; p != kNoItem; p = scene_.item(p) ? scene_.item(p)->parent : kNoItem)
          if (p == id || ++steps > 100000) {
            scene_.item(id)->parent = kNoItem;
            break;
          }
      }
  }

  std::string file_;
  std::vector<std::string> lines_;
  std::string line_;
  std::size_t pos_ = 0;
  int version_ = 3;
  Scene scene_;
  ItemType currentType_ = ItemType::Bone;  // none yet
  std::vector<std::string> parents_, lightParents_, cameraParents_;
  std::map<std::string, ItemId> ids_;
  // Keyed by id: the item lists still grow while motions are read.
  std::map<ItemId, std::vector<Channel>> motions_;
  std::set<ItemId> frameTimedMotion_;
};

}  // namespace

SceneReadResult parseLwsText(const std::string& text, const std::string& fileName) {
  return LwsParser(text, fileName).run();
}

SceneReadResult loadLwsScene(const std::string& path) {
  namespace fs = std::filesystem;
  SceneReadResult result;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = path + ": cannot open the scene file";
    return result;
  }
  std::ostringstream text;
  text << in.rdbuf();
  result = parseLwsText(text.str(), path);
  if (!result.ok) return result;
  // Object files are named relative to the content directory: try the
  // scene's folder and those above it, then the bare file name beside the scene.
  const fs::path sceneDir = fs::path(path).parent_path();
  for (Object& o : result.scene.objects) {
    if (o.fileName.empty()) continue;
    std::string name = o.fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    const auto colon = name.find(':');
    if (colon != std::string::npos && colon < 3) name = name.substr(colon + 1);  // drive letters
    std::vector<fs::path> tries;
    const fs::path rel(name);
    for (fs::path d = sceneDir;; d = d.parent_path()) {
      tries.push_back(d / rel);
      if (d.empty() || d == d.parent_path() || tries.size() > 4) break;
    }
    tries.push_back(sceneDir / rel.filename());
    std::error_code ec;
    for (const fs::path& t : tries)
      if (fs::is_regular_file(t, ec)) {
        o.fileName = t.string();
        break;
      }
  }
  const std::string err = loadSceneMeshes(result.scene, "");
  if (!err.empty()) {
    result.ok = false;
    result.scene = Scene{};
    result.error = err;
  }
  return result;
}

}  // namespace orvik::host
