#include "host/scene.h"

#include <algorithm>

namespace orvik::host {

namespace {

// Deeper parent chains than this are taken as a cycle and cut.
constexpr int kMaxParentDepth = 256;

template <class T>
T* at(std::vector<T>& v, ItemId id, ItemType type) {
  if (id == kNoItem || itemTypeOf(id) != type) return nullptr;
  const std::size_t i = itemIndexOf(id);
  return i < v.size() ? &v[i] : nullptr;
}

template <class T>
const T* at(const std::vector<T>& v, ItemId id, ItemType type) {
  return at(const_cast<std::vector<T>&>(v), id, type);
}

}  // namespace

TransformKey Motion::at(double time) const {
  if (keys.empty()) return TransformKey{time, {}, {}, {1.0, 1.0, 1.0}};
  if (time <= keys.front().time) return keys.front();
  if (time >= keys.back().time) return keys.back();
  const auto hi = std::upper_bound(keys.begin(), keys.end(), time,
                                   [](double t, const TransformKey& k) { return t < k.time; });
  const TransformKey& b = *hi;
  const TransformKey& a = *(hi - 1);
  const double span = b.time - a.time;
  const double s = span > 0.0 ? (time - a.time) / span : 0.0;
  return TransformKey{time, lerp(a.position, b.position, s), lerp(a.rotation, b.rotation, s),
                      lerp(a.scale, b.scale, s)};
}

void Motion::setKey(const TransformKey& key) {
  auto pos = std::lower_bound(keys.begin(), keys.end(), key.time,
                              [](const TransformKey& k, double t) { return k.time < t; });
  if (pos != keys.end() && pos->time == key.time)
    *pos = key;
  else
    keys.insert(pos, key);
}

double Envelope::at(double time) const {
  if (keys.empty()) return value;
  if (time <= keys.front().time) return keys.front().value;
  if (time >= keys.back().time) return keys.back().value;
  const auto hi = std::upper_bound(keys.begin(), keys.end(), time,
                                   [](double t, const Key& k) { return t < k.time; });
  const Key& b = *hi;
  const Key& a = *(hi - 1);
  const double span = b.time - a.time;
  return span > 0.0 ? a.value + (b.value - a.value) * (time - a.time) / span : a.value;
}

const ShaderRef* Surface::findShader(const std::string& server) const {
  for (const ShaderRef& s : shaders)
    if (s.server == server) return &s;
  return nullptr;
}

Color Backdrop::colorAlong(const Vec3& direction) const {
  if (!gradient) return color;
  const Vec3 d = normalize(direction);
  // Elevation angle in [-1, 1] of a quarter turn; the squeeze sharpens the
  // blend toward the horizon.
  const double elevation = std::asin(std::clamp(d.y, -1.0, 1.0)) / (kPi / 2.0);
  if (elevation >= 0.0) {
    const double t = std::pow(1.0 - elevation, std::max(skySqueeze, 1e-6));
    return lerp(zenith, sky, t);
  }
  const double t = std::pow(1.0 + elevation, std::max(groundSqueeze, 1e-6));
  return lerp(nadir, ground, t);
}

ItemId Scene::addObject(Object o) {
  objects.push_back(std::move(o));
  return makeItemId(ItemType::Object, objects.size() - 1);
}
ItemId Scene::addLight(Light l) {
  lights.push_back(std::move(l));
  return makeItemId(ItemType::Light, lights.size() - 1);
}
ItemId Scene::addCamera(Camera c) {
  cameras.push_back(std::move(c));
  return makeItemId(ItemType::Camera, cameras.size() - 1);
}
ItemId Scene::addBone(Bone b) {
  bones.push_back(std::move(b));
  return makeItemId(ItemType::Bone, bones.size() - 1);
}

std::size_t Scene::count(ItemType type) const {
  switch (type) {
    case ItemType::Object: return objects.size();
    case ItemType::Light: return lights.size();
    case ItemType::Camera: return cameras.size();
    case ItemType::Bone: return bones.size();
  }
  return 0;
}

bool Scene::contains(ItemId id) const { return item(id) != nullptr; }

ItemId Scene::nth(ItemType type, std::size_t index) const {
  return index < count(type) ? makeItemId(type, index) : kNoItem;
}

ItemId Scene::next(ItemId id) const {
  if (!contains(id)) return kNoItem;
  return nth(itemTypeOf(id), itemIndexOf(id) + 1);
}

const Item* Scene::item(ItemId id) const { return const_cast<Scene*>(this)->item(id); }

Item* Scene::item(ItemId id) {
  if (id == kNoItem) return nullptr;
  const int type = static_cast<int>(id >> kItemTypeShift) - 1;
  switch (type) {
    case 0: return object(id);
    case 1: return light(id);
    case 2: return camera(id);
    case 3: return bone(id);
    default: return nullptr;
  }
}

const Object* Scene::object(ItemId id) const { return at(objects, id, ItemType::Object); }
Object* Scene::object(ItemId id) { return at(objects, id, ItemType::Object); }
const Light* Scene::light(ItemId id) const { return at(lights, id, ItemType::Light); }
Light* Scene::light(ItemId id) { return at(lights, id, ItemType::Light); }
const Camera* Scene::camera(ItemId id) const { return at(cameras, id, ItemType::Camera); }
Camera* Scene::camera(ItemId id) { return at(cameras, id, ItemType::Camera); }
const Bone* Scene::bone(ItemId id) const { return at(bones, id, ItemType::Bone); }
Bone* Scene::bone(ItemId id) { return at(bones, id, ItemType::Bone); }

std::string Scene::displayName(ItemId id) const {
  const Item* it = item(id);
  if (!it) return std::string();
  const ItemType type = itemTypeOf(id);
  const ItemId owner = type == ItemType::Bone ? bone(id)->owner : kNoItem;
  int n = 0;
  for (ItemId other = first(type); other != kNoItem; other = next(other)) {
    if (type == ItemType::Bone && bone(other)->owner != owner) continue;
    if (item(other)->name == it->name) ++n;
    if (other == id) break;
  }
  return n <= 1 ? it->name : it->name + " (" + std::to_string(n) + ")";
}

ItemId Scene::find(ItemType type, const std::string& name) const {
  for (ItemId id = first(type); id != kNoItem; id = next(id))
    if (displayName(id) == name) return id;
  for (ItemId id = first(type); id != kNoItem; id = next(id))
    if (item(id)->name == name) return id;
  return kNoItem;
}

ItemId Scene::renderCamera() const {
  if (camera(render.camera)) return render.camera;
  return first(ItemType::Camera);
}

Affine Scene::worldTransform(ItemId id, double time) const {
  Affine world;
  int depth = 0;
  for (const Item* it = item(id); it && depth < kMaxParentDepth; it = item(it->parent), ++depth) {
    const TransformKey k = it->motion.at(time);
    Affine local = composeTransform(
        k.position,
        {degreesToRadians(k.rotation.x), degreesToRadians(k.rotation.y), degreesToRadians(k.rotation.z)},
        k.scale);
    // Rotate and scale about the pivot.
    local.t = local.t - local.direction(it->pivot);
    world = local * world;
  }
  return world;
}

Vec3 Scene::worldPosition(ItemId id, double time) const { return worldTransform(id, time).t; }
Vec3 Scene::rightVector(ItemId id, double time) const {
  return normalize(worldTransform(id, time).column(0));
}
Vec3 Scene::upVector(ItemId id, double time) const {
  return normalize(worldTransform(id, time).column(1));
}
Vec3 Scene::forwardVector(ItemId id, double time) const {
  return normalize(worldTransform(id, time).column(2));
}

int Scene::renderOptionBits() const {
  return (render.rayTraceShadows ? kRenderShadows : 0) |
         (render.rayTraceReflection ? kRenderReflection : 0) |
         (render.rayTraceRefraction ? kRenderRefraction : 0) |
         (render.fieldRendering ? kRenderFields : 0) |
         (render.rayTraceTransparency ? kRenderTransparency : 0);
}

}  // namespace orvik::host
