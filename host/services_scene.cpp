// Item, object, light, camera, bone, scene-object and backdrop services.
#include <algorithm>
#include <cmath>

#include "host/services.h"
#include "host/services_records.h"

namespace orvik::host {

namespace records {

namespace {

const Scene kEmptyScene;

HostEnvironment* env() { return HostEnvironment::active(); }

const Scene& sc() { return activeScene(); }

void put(double out[3], const Vec3& v) {
  if (!out) return;
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

// ---- LW Item Info
ItemId firstBoneOf(ItemId owner, std::size_t from) {
  const Scene& s = sc();
  for (std::size_t i = from; i < s.bones.size(); ++i)
    if (owner == kNoItem || s.bones[i].owner == owner) return makeItemId(ItemType::Bone, i);
  return kNoItem;
}

HostItemId iiFirst(int type, HostItemId parent) {
  if (type < 0 || type >= kItemTypeCount) return nullptr;
  if (type == HOST_ITEM_BONE) return toHost(firstBoneOf(fromHost(parent), 0));
  return toHost(sc().first(static_cast<ItemType>(type)));
}

HostItemId iiNext(HostItemId item) {
  const ItemId id = fromHost(item);
  const Scene& s = sc();
  if (!s.contains(id)) return nullptr;
  // Bones are listed per owning object.
  if (itemTypeOf(id) == ItemType::Bone) return toHost(firstBoneOf(s.bone(id)->owner, itemIndexOf(id) + 1));
  return toHost(s.next(id));
}

// Children in the host's order: objects, lights, cameras, bones.
HostItemId childAfter(ItemId parent, ItemId after) {
  const Scene& s = sc();
  bool passed = after == kNoItem;
  for (int t = 0; t < kItemTypeCount; ++t)
    for (ItemId id = s.first(static_cast<ItemType>(t)); id != kNoItem; id = s.next(id)) {
      if (!passed) {
        passed = id == after;
        continue;
      }
      if (s.item(id)->parent == parent) return toHost(id);
    }
  return nullptr;
}

HostItemId iiFirstChild(HostItemId parent) {
  const ItemId p = fromHost(parent);
  return sc().contains(p) ? childAfter(p, kNoItem) : nullptr;
}
HostItemId iiNextChild(HostItemId parent, HostItemId prev) {
  const ItemId p = fromHost(parent);
  return sc().contains(p) && sc().contains(fromHost(prev)) ? childAfter(p, fromHost(prev)) : nullptr;
}
HostItemId iiParent(HostItemId item) {
  const Item* it = sc().item(fromHost(item));
  return it ? toHost(it->parent) : nullptr;
}
HostItemId iiTarget(HostItemId) { return nullptr; }
int iiType(HostItemId item) {
  const ItemId id = fromHost(item);
  return sc().contains(id) ? static_cast<int>(itemTypeOf(id)) : -1;
}
const char* iiName(HostItemId item) {
  HostEnvironment* e = env();
  return e ? e->itemName(fromHost(item)) : nullptr;
}

void iiParam(HostItemId item, int param, double time, double vector[3]) {
  if (!vector) return;
  const Scene& s = sc();
  const ItemId id = fromHost(item);
  const Item* it = s.item(id);
  if (!it) {
    put(vector, {});
    return;
  }
  const TransformKey k = it->motion.at(time);
  const Affine local = composeTransform(
      k.position, {degreesToRadians(k.rotation.x), degreesToRadians(k.rotation.y), degreesToRadians(k.rotation.z)},
      k.scale);
  // World axes carry the item's scaling; a linear light's forward vector is
  // as long as the light, an area light's right and up vectors span it.
  auto worldAxis = [&](int axis) {
    const Affine w = s.worldTransform(id, time);
    Vec3 v = w.column(axis);
    if (const Light* l = s.light(id)) {
      v = normalize(v);
      if (l->type == LightType::Linear && axis == 2) v = v * l->length;
      if (l->type == LightType::Area && axis == 0) v = v * l->width;
      if (l->type == LightType::Area && axis == 1) v = v * l->height;
    }
    return v;
  };
  switch (param) {
    case HOST_IP_POSITION: put(vector, k.position); break;
    case HOST_IP_RIGHT: put(vector, local.column(0)); break;
    case HOST_IP_UP: put(vector, local.column(1)); break;
    case HOST_IP_FORWARD: put(vector, local.column(2)); break;
    case HOST_IP_ROTATION:
      put(vector, {degreesToRadians(k.rotation.x), degreesToRadians(k.rotation.y), degreesToRadians(k.rotation.z)});
      break;
    case HOST_IP_SCALING: put(vector, k.scale); break;
    case HOST_IP_PIVOT: put(vector, it->pivot); break;
    case HOST_IP_W_POSITION: put(vector, s.worldPosition(id, time)); break;
    case HOST_IP_W_RIGHT: put(vector, worldAxis(0)); break;
    case HOST_IP_W_UP: put(vector, worldAxis(1)); break;
    case HOST_IP_W_FORWARD: put(vector, worldAxis(2)); break;
    default: put(vector, {}); break;
  }
}

unsigned int iiFlags(HostItemId) { return 0; }
const char* iiServer(HostItemId, const char*, int) { return nullptr; }

// ---- LW Object Info
const Object* obj(HostItemId item) { return sc().object(fromHost(item)); }

const char* oiFilename(HostItemId item) {
  const Object* o = obj(item);
  if (!o) return nullptr;
  // Built-in primitives have no file; their name stands for it.
  return o->fileName.empty() ? o->name.c_str() : o->fileName.c_str();
}
int oiNumPoints(HostItemId item) {
  const Object* o = obj(item);
  return o ? static_cast<int>(o->mesh.positions.size()) : 0;
}
int oiNumPolygons(HostItemId item) {
  const Object* o = obj(item);
  return o ? static_cast<int>(o->mesh.triangles.size()) : 0;
}
unsigned int oiShadowOpts(HostItemId item) {
  const Object* o = obj(item);
  return o ? static_cast<unsigned>(o->shadowOptions) : 0u;
}
double oiDissolve(HostItemId item, double time) {
  const Object* o = obj(item);
  return o ? std::clamp(o->dissolve.at(time), 0.0, 1.0) : 0.0;
}
int oiExcludeLight(HostItemId object, HostItemId light) {
  const Scene& s = sc();
  const ItemId oid = fromHost(object);
  const Object* o = s.object(oid);
  const Light* l = s.light(fromHost(light));
  if (!o || !l || l->excludedObjects.empty()) return 0;
  // By stored name, or by the shown name "Name (n)" of a name that repeats; the shown
  // name is made only when an entry could be it: every light asks for every sample.
  std::string shown;
  for (const std::string& x : l->excludedObjects) {
    if (x == o->name) return 1;
    if (x.size() <= o->name.size() || x.compare(0, o->name.size(), o->name) != 0) continue;
    if (shown.empty()) shown = s.displayName(oid);
    if (x == shown) return 1;
  }
  return 0;
}
unsigned int oiFlags(HostItemId item) {
  const Object* o = obj(item);
  if (!o) return 0;
  return (o->unseenByCamera ? HOST_OBJF_UNSEEN_BY_CAMERA : 0u) | (o->unseenByRays ? HOST_OBJF_UNSEEN_BY_RAYS : 0u);
}
const char* oiStoredName(HostItemId item) {
  const Object* o = obj(item);
  return o ? o->name.c_str() : nullptr;
}

// ---- LW Light Info
const Light* lt(HostItemId item) { return sc().light(fromHost(item)); }

void liAmbient(double, double color[3]) { put(color, sc().ambientColor * sc().ambientIntensity); }
int liType(HostItemId item) {
  const Light* l = lt(item);
  return l ? static_cast<int>(l->type) : HOST_LIGHT_POINT;
}
void liColor(HostItemId item, double, double color[3]) {
  const Light* l = lt(item);
  put(color, l ? l->color : Vec3{});
}
double liIntensity(HostItemId item, double time) {
  const Light* l = lt(item);
  return l ? l->intensity.at(time) : 0.0;
}
int liShadowType(HostItemId item) {
  const Light* l = lt(item);
  return l ? static_cast<int>(l->shadowType) : HOST_SHADOW_OFF;
}
void liConeDegrees(HostItemId item, double* radius, double* edge) {
  const Light* l = lt(item);
  if (radius) *radius = l ? l->coneAngle : 0.0;
  if (edge) *edge = l ? l->edgeAngle : 0.0;
}
unsigned int liFlags(HostItemId item) {
  const Light* l = lt(item);
  return l ? static_cast<unsigned>(l->flags()) : 0u;
}
double liRange(HostItemId item, double) {
  const Light* l = lt(item);
  return l ? l->range : 0.0;
}
int liQuality(HostItemId item) {
  const Light* l = lt(item);
  return l ? l->quality : 0;
}
void liConeRadians(HostItemId item, double, double* radius, double* edge) {
  const Light* l = lt(item);
  if (radius) *radius = l ? degreesToRadians(l->coneAngle) : 0.0;
  if (edge) *edge = l ? degreesToRadians(l->edgeAngle) : 0.0;
}
int liFalloff(HostItemId item) {
  const Light* l = lt(item);
  return l ? static_cast<int>(l->falloff) : HOST_FALLOFF_NONE;
}
HostImageId liProjImage(HostItemId item) {
  const Light* l = lt(item);
  HostEnvironment* e = env();
  return l && e ? e->sceneImageId(l->projectionImage) : nullptr;
}
void liShadowColor(HostItemId item, double, double color[3]) {
  const Light* l = lt(item);
  put(color, l ? l->shadowColor : Vec3{});
}
double liShadowLevel(HostItemId item, double) {
  const Light* l = lt(item);
  return l ? l->shadowLevel : 0.0;
}

// ---- LW Camera Info
const Camera* cam(HostItemId item) { return sc().camera(fromHost(item)); }

// Height of the film back the focal length is measured against, in metres.
constexpr double kFilmHeight = 0.015;

double ciZoom(HostItemId item, double) {
  const Camera* c = cam(item);
  return c ? c->zoomFactor : 0.0;
}
double ciFocalLength(HostItemId item, double) {
  const Camera* c = cam(item);
  return c ? c->zoomFactor * kFilmHeight * 0.5 * 1000.0 : 0.0;  // millimetres
}
double ciFocalDistance(HostItemId item, double) { return cam(item) ? 1.0 : 0.0; }
void ciFov(HostItemId item, double, double* horizontal, double* vertical) {
  const Camera* c = cam(item);
  const RenderOptions& r = sc().render;
  const double zoom = c && c->zoomFactor > 0.0 ? c->zoomFactor : 1.0;
  const double aspect = r.height > 0 ? r.width * r.pixelAspect / r.height : 1.0;
  if (vertical) *vertical = c ? 2.0 * std::atan(1.0 / zoom) : 0.0;
  if (horizontal) *horizontal = c ? 2.0 * std::atan(aspect / zoom) : 0.0;
}

// ---- LW Bone Info
unsigned int biFlags(HostItemId item) {
  const Bone* b = sc().bone(fromHost(item));
  return b && b->active ? HOST_BONEF_ACTIVE : 0u;
}
double biRestLength(HostItemId item) {
  const Bone* b = sc().bone(fromHost(item));
  return b ? b->restLength : 0.0;
}
double biStrength(HostItemId item) { return sc().bone(fromHost(item)) ? 1.0 : 0.0; }
const char* biWeightMap(HostItemId) { return nullptr; }

// ---- Scene Objects
int soCount() { return static_cast<int>(sc().objects.size()); }
HostItemId soObject(int i) {
  return i >= 0 ? toHost(sc().nth(ItemType::Object, static_cast<std::size_t>(i))) : nullptr;
}
int soNumPoints(int i) { return oiNumPoints(soObject(i)); }
int soNumPolygons(int i) { return oiNumPolygons(soObject(i)); }
int soNumSurfaces(int i) {
  const Object* o = obj(soObject(i));
  return o ? static_cast<int>(o->surfaces.size()) : 0;
}

// ---- LW Backdrop Info
void bdBackdrop(double, const double direction[3], double color[3]) {
  const Vec3 d = direction ? Vec3{direction[0], direction[1], direction[2]} : Vec3{0, 0, 1};
  put(color, sc().backdrop.colorAlong(d));
}
void bdGradient(double, double zenith[3], double sky[3], double ground[3], double nadir[3]) {
  const Backdrop& b = sc().backdrop;
  put(zenith, b.zenith);
  put(sky, b.sky);
  put(ground, b.ground);
  put(nadir, b.nadir);
}

}  // namespace

const Scene& activeScene() {
  HostEnvironment* e = env();
  return e ? e->scene() : kEmptyScene;
}

const HostItemInfo3 kItemInfo = {iiFirst, iiNext, iiFirstChild, iiNextChild,
                                 iiParent, iiTarget, iiType, iiName, iiParam, iiFlags, iiServer};
const HostObjectInfo4 kObjectInfo = {oiFilename, oiNumPoints,    oiNumPolygons, oiShadowOpts,
                                     oiDissolve, oiExcludeLight, oiFlags,       oiStoredName};
const HostLightInfo2 kLightInfo = {liAmbient,    liType,          liColor, liIntensity, liShadowType,
                                   liConeDegrees, liFlags,        liRange, liQuality};
const HostLightInfo3 kLightInfo3 = {liAmbient, liType,    liColor,     liIntensity,   liShadowType,
                                    liConeRadians, liFlags, liRange,   liQuality,     liFalloff,
                                    liProjImage,   liShadowColor, liShadowLevel};
const HostCameraInfo2 kCameraInfo = {ciZoom, ciFocalLength, ciFocalDistance, ciFov};
const HostBoneInfo2 kBoneInfo = {biFlags, biRestLength, biStrength, biWeightMap};
const HostSceneObjects3 kSceneObjects = {soCount, soObject, soNumPoints, soNumPolygons, soNumSurfaces};
const HostBackdropInfo2 kSolidBackdrop = {bdBackdrop, HOST_BACKDROP_SOLID, bdGradient};
const HostBackdropInfo2 kGradientBackdrop = {bdBackdrop, HOST_BACKDROP_GRADIENT, bdGradient};

}  // namespace records

}  // namespace orvik::host
